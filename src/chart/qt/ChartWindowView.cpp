#include "chart/qt/ChartWindowView.h"

#include "chart/ChartState.h"
#include "chart/qt/ChartFile.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quantem::ui {

namespace {

    // The surface covers the plot with its arrows and tick labels.
    constexpr int kSurfaceWidthTwips = 12450;
    constexpr int kSurfaceHeightTwips = 8400;

    // The origin label ends just left of the Y axis, level with the X tick labels.
    constexpr double kOriginLabelRight = 2900.0;
    constexpr double kOriginLabelTop = 7880.0;

    void setTextIfChanged(QLineEdit* edit, const std::string& text)
    {
        const QString shown = QString::fromStdString(text);
        if (edit->text() != shown)
            edit->setText(shown);
    }

    // An option button shows its state, also "none chosen", which a click can never leave.
    void setChecked(QRadioButton* option, bool checked)
    {
        if (option->isChecked() == checked)
            return;
        option->setAutoExclusive(false);
        option->setChecked(checked);
        option->setAutoExclusive(true);
    }

} // namespace

/// The drawing surface: shows the canvas beneath the origin label and the picture box, at the
/// size of the window, proportions kept.
class ChartWindowView::Surface : public QWidget
{
public:
    Surface(const QtCanvas& canvas, std::function<void()> resized, QWidget* parent)
        : QWidget(parent)
        , m_canvas(canvas)
        , m_resized(std::move(resized))
    {
        setObjectName(QStringLiteral("Surface"));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    QSize sizeHint() const override { return m_canvas.image().size(); }
    QSize minimumSizeHint() const override { return sizeHint() * kSmallestScale; }

    /// How large the drawing is shown: 1 at its own size.
    double scale() const
    {
        const QSize full = m_canvas.image().size();
        return std::min(static_cast<double>(width()) / full.width(),
            static_cast<double>(height()) / full.height());
    }

    /// Where the drawing is shown: at the top, in the middle of any room beside it.
    QRect drawingRect() const
    {
        const QSize shown = (QSizeF(m_canvas.image().size()) * scale()).toSize();
        return QRect(QPoint((width() - shown.width()) / 2, 0), shown);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect shown = drawingRect();
        // At its own size the window shows the canvas image itself, which cutting the chart
        // captures; at any other size the drawing is painted again from its calls, sharp.
        if (shown.size() == m_canvas.image().size()) {
            painter.drawImage(shown.topLeft(), m_canvas.image());
            return;
        }
        painter.fillRect(shown, Qt::white);
        m_canvas.drawing().paint(painter, m_canvas.surface(), shown);
    }

    void resizeEvent(QResizeEvent*) override { m_resized(); }

private:
    // Small enough that the window, its controls below the drawing, fits a 1024x768 screen.
    static constexpr double kSmallestScale = 0.55;

    const QtCanvas& m_canvas;
    std::function<void()> m_resized;
};

void paintWindowPage(QPainter& painter, const QImage& window, const QRect& page)
{
    if (window.isNull() || page.isEmpty())
        return;
    const QSize size = window.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), window);
}

ChartWindowView::ChartWindowView(
    core::Session& session, Runner run, chart::MainWindowHooks hooks, QWidget* parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_run(std::move(run))
    , m_hooks(std::move(hooks))
    , m_canvas(kSurfaceWidthTwips, kSurfaceHeightTwips)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral(" Plot"));
    // Small print, so the tick labels keep to the room left of the Y axis.
    QFont tickFont = font();
    tickFont.setPointSizeF(8.0);
    m_canvas.setFont(tickFont);

    auto* centre = new QWidget(this);
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(6);

    m_surface = new Surface(
        m_canvas, [this] { placeOnSurface(); }, centre);
    m_label7 = new QLabel(m_surface);
    m_label7->setObjectName(QStringLiteral("Label7"));
    m_label7->setTextFormat(Qt::PlainText);
    m_picture1 = new QLabel(m_surface);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setFrameShape(QFrame::Panel);
    m_picture1->setFrameShadow(QFrame::Sunken);
    m_picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture1->setAutoFillBackground(true);
    m_picture1->hide();
    layout->addWidget(m_surface, 1);
    layout->addWidget(buildControls());
    setCentralWidget(centre);

    buildMenus();
    render();
}

void ChartWindowView::run(const std::function<void()>& command)
{
    if (m_run)
        m_run(command);
    else
        command();
}

void ChartWindowView::render()
{
    const core::Form2& form = m_session.form2;
    setChecked(m_options[1], form.Option1);
    setChecked(m_options[2], form.Option2);
    setChecked(m_options[3], form.Option3);
    setChecked(m_options[4], form.Option4);
    setChecked(m_options[5], form.Option5);
    setChecked(m_options[6], form.Option6);
    m_options[1]->setVisible(form.Option1Visible);
    m_options[2]->setVisible(form.Option2Visible);
    m_options[3]->setVisible(form.Option3Visible);

    m_label5->setText(QString::fromStdString(form.Label5));
    const bool labelVisible[] = { form.Label1Visible, form.Label2Visible, form.Label3Visible };
    const bool textVisible[] = { form.Text1Visible, form.Text2Visible, form.Text3Visible };
    const std::string* texts[] = { &form.Text1, &form.Text2, &form.Text3 };
    for (std::size_t i = 0; i < 3; ++i) {
        m_fixedLabels[i + 1]->setVisible(labelVisible[i]);
        m_fixedTexts[i + 1]->setVisible(textVisible[i]);
        setTextIfChanged(m_fixedTexts[i + 1], *texts[i]);
    }

    if (statusBar()->currentMessage() != QString::fromStdString(form.StatusBar))
        statusBar()->showMessage(QString::fromStdString(form.StatusBar));
    m_label7->setText(QString::fromStdString(form.Label7));
    placeOnSurface();
    renderPicture();
    m_surface->update();

    if (!form.loaded)
        m_placed = false;
    if (form.visible && (!isVisible() || form.frontRequests != m_frontRequestsSeen)) {
        if (!m_placed)
            centreOnScreen();
        m_placed = true;
        m_frontRequestsSeen = form.frontRequests;
        show();
        raise();
        activateWindow();
    } else if (!form.visible && isVisible()) {
        hide();
    }
}

void ChartWindowView::placeOnSurface()
{
    if (m_label7 == nullptr || m_picture1 == nullptr)
        return; // the surface is sized before the window has built them
    // The origin label and the picture box keep their places on the drawing as it is scaled.
    const double scale = m_surface->scale();
    const QPoint origin = m_surface->drawingRect().topLeft();
    const auto at
        = [scale](double twips) { return static_cast<int>(std::lround(pixelsOf(twips) * scale)); };
    m_label7->adjustSize();
    m_label7->move(origin + QPoint(at(kOriginLabelRight) - m_label7->width(), at(kOriginLabelTop)));
    const QRect box(origin + QPoint(at(core::PlotArea::left), at(core::PlotArea::top)),
        QSize(at(core::PlotArea::width), at(core::PlotArea::height)));
    if (m_picture1->geometry() != box) {
        m_picture1->setGeometry(box);
        m_pictureShown.reset(); // the picture is fitted to the box again
        renderPicture();
    }
}

void ChartWindowView::renderPicture()
{
    const core::Form2& form = m_session.form2;
    if (form.Picture1 != m_pictureShown) {
        m_pictureShown = form.Picture1;
        if (form.Picture1) {
            const QSize room = m_picture1->contentsRect().size();
            m_picture1->setPixmap(QPixmap::fromImage(imageOf(*form.Picture1))
                                      .scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        } else {
            m_picture1->clear();
        }
    }
    m_picture1->setVisible(form.Picture1Visible);
}

void ChartWindowView::centreOnScreen()
{
    const QScreen* screen = QApplication::primaryScreen();
    if (screen == nullptr)
        return;
    // The drawing at its own size where the screen has room for it, smaller where it has not;
    // the title bar takes its share of the screen's height.
    const QRect area = screen->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QSize wanted = sizeHint().boundedTo(QSize(area.width(), area.height() - titleBar));
    resize(wanted.expandedTo(minimumSizeHint()));
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void ChartWindowView::closeEvent(QCloseEvent* event)
{
    // The close box closes through the window's command; the state then hides the window.
    event->ignore();
    run([this] { chart::closeChartWindow(m_session, m_canvas); });
}

core::Picture ChartWindowView::captureWindow()
{
    // The screen shows what the command has set so far, the picture box included.
    render();
    repaint();
    QImage image;
    if (QScreen* screen = this->screen(); screen != nullptr && isVisible()) {
        const QRect frame = frameGeometry().translated(-screen->geometry().topLeft());
        image
            = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    }
    // Where the screen cannot be read, the window paints itself.
    if (image.isNull())
        image = grab().toImage();
    return pictureOf(image);
}

bool ChartWindowView::exportChart(const std::filesystem::path& path, chart::ExportFormat format)
{
    return static_cast<bool>(writeChartFile(
        m_canvas.drawing(), QString::fromStdString(m_session.form2.Label7), path, format));
}

bool ChartWindowView::savePicture(const core::Picture& picture, const std::filesystem::path& path)
{
    QBuffer bitmap;
    bitmap.open(QIODevice::WriteOnly);
    return imageOf(picture).save(&bitmap, "BMP")
        && static_cast<bool>(writeExportedBytes(bitmap.data(), path));
}

chart::ChartExport::PrintOutcome ChartWindowView::printWindow()
{
    render();
    // The window goes to the default printer as it stands. Without one, the print dialog lets
    // the user choose where it goes, a PDF file among the choices.
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull()) {
        QPrinter printer(defaultPrinter, QPrinter::HighResolution);
        return printTo(printer) ? PrintOutcome::Printed : PrintOutcome::Failed;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Chart"));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print chart"));
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    return printTo(printer) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

bool ChartWindowView::printTo(QPrinter& printer)
{
    const QImage window = grab().toImage();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    paintWindowPage(painter, window, QRect(0, 0, printer.width(), printer.height()));
    return painter.end();
}

void ChartWindowView::messageBox(const std::string& text)
{
    QMessageBox::warning(this, QApplication::applicationDisplayName(), QString::fromStdString(text),
        QMessageBox::Ok);
}

} // namespace quantem::ui
