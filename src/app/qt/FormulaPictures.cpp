#include "app/qt/FormulaPictures.h"

#include "core/Fault.h"
#include "core/ScratchStore.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <string>

namespace quantem::ui {

namespace {

    constexpr int kHeight = 60;
    constexpr int kMargin = 14;
    constexpr int kBlankWidth = 240;
    constexpr int kLetterPixels = 20;

    QFont formulaFont()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(kLetterPixels);
        return font;
    }

} // namespace

QImage QtFormulaPictureRenderer::draw(std::string_view formulaText)
{
    const QString text
        = QString::fromUtf8(formulaText.data(), static_cast<qsizetype>(formulaText.size()));
    const QFont font = formulaFont();
    // The pixel size fixes the letters whatever the screen's resolution, so the screen's
    // metrics measure the picture too.
    const int width
        = text.isEmpty() ? kBlankWidth : QFontMetrics(font).horizontalAdvance(text) + 2 * kMargin;

    QImage image(width, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!text.isEmpty()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(QColor(24, 28, 48));
        painter.drawText(QRect(kMargin, 0, width - kMargin, kHeight),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    return image;
}

bool QtFormulaPictureRenderer::render(
    const std::filesystem::path& file, std::string_view formulaText)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !draw(formulaText).save(&buffer, "BMP"))
        return false;
    try {
        core::writeFileAtomically(
            file, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const core::Fault&) {
        return false;
    }
    return true;
}

} // namespace quantem::ui
