#include "app/qt/MessageWindowViews.h"

#include "app/qt/Artwork.h"
#include "app/qt/Placement.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>

namespace quantem::ui {

namespace {

    using core::MessageWindowId;

    const char* captionOf(MessageWindowId id)
    {
        switch (id) {
        case MessageWindowId::Form5:
            return "Help";
        case MessageWindowId::Form6:
            return "Help";
        case MessageWindowId::Form9:
            return " Help";
        case MessageWindowId::Form10:
            return "System hint";
        case MessageWindowId::Form7:
            return "Support";
        case MessageWindowId::Form8:
            return " Quantem";
        }
        return "";
    }

    QStyle::StandardPixmap pictureOf(MessageWindowId id)
    {
        switch (id) {
        case MessageWindowId::Form6:
            return QStyle::SP_MessageBoxWarning;
        case MessageWindowId::Form9:
        case MessageWindowId::Form10:
            return QStyle::SP_MessageBoxQuestion;
        default:
            return QStyle::SP_MessageBoxInformation;
        }
    }

    // The windows keep their texts with CR LF line ends; the widgets take plain line feeds.
    QString displayText(const std::string& text)
    {
        QString shown = QString::fromStdString(text);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return shown;
    }

    QLabel* pictureLabel(const QPixmap& pixmap, QWidget* parent)
    {
        auto* picture = new QLabel(parent);
        picture->setObjectName(QStringLiteral("Image1"));
        picture->setPixmap(pixmap);
        picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
        return picture;
    }

    QLabel* linkLabel(const char* name, QWidget* parent)
    {
        auto* label = new QLabel(parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setCursor(Qt::PointingHandCursor);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 70, 200));
        label->setPalette(palette);
        QFont font = label->font();
        font.setUnderline(true);
        label->setFont(font);
        return label;
    }

} // namespace

MessageWindowView::MessageWindowView(CommandRunner& runner, MessageWindowId id, QWidget* parent)
    : QDialog(parent)
    , m_runner(runner)
    , m_id(id)
{
    setObjectName(QString::fromLatin1(core::messageWindowName(id)));
    setWindowTitle(QString::fromLatin1(captionOf(id)));
    setModal(false);
    setWindowIcon(QIcon(programLogo(32)));
    build();
    render();
}

int titleBarWidth(const QString& title)
{
    // The desktop adds the program's name to a title that does not end with it.
    QString shown = title;
    const QString program = QGuiApplication::applicationDisplayName();
    if (!program.isEmpty() && !shown.endsWith(program))
        shown += QStringLiteral(" \u2014 ") + program;
    QFont font = QGuiApplication::font();
    font.setBold(true);
    constexpr int kTitleButtonsAndIcon = 160; // close, maximise, minimise and the window icon
    return QFontMetrics(font).horizontalAdvance(shown) + kTitleButtonsAndIcon;
}

void MessageWindowView::build()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 12);
    outer->setSpacing(14);
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch(1);

    switch (m_id) {
    case MessageWindowId::Form7:
        buildSupport();
        break;
    case MessageWindowId::Form8:
        buildInformation();
        break;
    default: {
        auto* row = new QHBoxLayout;
        row->setSpacing(14);
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        row->addWidget(pictureLabel(style()->standardIcon(pictureOf(m_id)).pixmap(side), this));
        m_label = new QLabel(this);
        m_label->setObjectName(
            QString::fromLatin1(m_id == MessageWindowId::Form10 ? "Label2" : "Label1"));
        m_label->setTextFormat(Qt::PlainText);
        m_label->setMinimumWidth(240);
        m_label->setWordWrap(true);
        m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row->addWidget(m_label, 1);
        outer->addLayout(row, 1);
        break;
    }
    }

    switch (m_id) {
    case MessageWindowId::Form5:
    case MessageWindowId::Form6:
    case MessageWindowId::Form9:
        addButton("Command1", "Yes", app::MessageButton::Yes);
        addButton("Command2", "Help", app::MessageButton::Help);
        break;
    case MessageWindowId::Form10:
        addButton("Command1", "Yes", app::MessageButton::Yes);
        addButton("Command2", "No", app::MessageButton::No);
        addButton("Command3", "Cancel ", app::MessageButton::Cancel);
        break;
    case MessageWindowId::Form7:
        addButton("Command1", "Yes", app::MessageButton::Yes);
        addButton("Command2", "Web", app::MessageButton::Web);
        addButton("Command3", "E-Mail", app::MessageButton::Email);
        break;
    case MessageWindowId::Form8:
        addButton("cmdOK", "Yes", app::MessageButton::Yes);
        addButton("Command1", "Help", app::MessageButton::Help);
        break;
    }
    m_buttons->addStretch(1);
    outer->addLayout(m_buttons);
    // The title bar shows the whole title beside its buttons.
    outer->addItem(
        new QSpacerItem(titleBarWidth(windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MessageWindowView::buildSupport()
{
    m_supportText = new QPlainTextEdit(this);
    m_supportText->setObjectName(QStringLiteral("Text1"));
    m_supportText->setReadOnly(true);
    m_supportText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_supportText->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(m_supportText->font());
    m_supportText->setFixedSize(
        metrics.horizontalAdvance(QLatin1Char('m')) * 34, metrics.lineSpacing() * 11);
    static_cast<QVBoxLayout*>(layout())->addWidget(m_supportText);
}

void MessageWindowView::buildInformation()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(pictureLabel(programLogo(72), this));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    auto* name = new QLabel(QStringLiteral(" Quantem - QTM"), this);
    name->setObjectName(QStringLiteral("Label1"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    texts->addWidget(name);

    const core::Addresses& addresses = m_runner.session().addresses;
    // The colons are full-width, as the window has always shown them.
    m_webLabel = linkLabel("Label10", this);
    m_webLabel->setText(QStringLiteral("Web\uFF1A") + QString::fromStdString(addresses.home));
    m_emailLabel = linkLabel("Label9", this);
    m_emailLabel->setText(QStringLiteral("Email\uFF1A") + QString::fromStdString(addresses.email));
    m_webLabel->installEventFilter(this);
    m_emailLabel->installEventFilter(this);
    texts->addWidget(m_webLabel);
    texts->addWidget(m_emailLabel);
    texts->addStretch(1);
    row->addLayout(texts, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(row, 1);
}

void MessageWindowView::addButton(const char* name, const char* caption, app::MessageButton button)
{
    auto* push = new QPushButton(QString::fromLatin1(caption), this);
    push->setObjectName(QString::fromLatin1(name));
    push->setAutoDefault(false);
    // Enter answers "Yes", the first answer of every window; Esc takes the cancelling one.
    push->setDefault(button == app::MessageButton::Yes);
    if (button == app::MessageButton::Cancel)
        m_cancel = push;
    push->setMinimumWidth(84);
    connect(push, &QPushButton::clicked, this, [this, button] { press(button); });
    m_buttons->addWidget(push);
}

// Answering a message window carries on the command that showed it: the notice that says why
// it was shown stays in status panel 1.
void MessageWindowView::press(app::MessageButton button)
{
    m_runner.run([this, button] { app::pressMessageButton(m_runner.session(), m_id, button); },
        app::CommandStart::Continuing);
}

void MessageWindowView::keyPressEvent(QKeyEvent* event)
{
    if (m_cancel != nullptr && event->matches(QKeySequence::Cancel)) {
        m_cancel->click();
        return;
    }
    // Without a cancelling button Esc closes the window as its close box does.
    QDialog::keyPressEvent(event);
}

void MessageWindowView::reject()
{
    m_runner.run([this] { app::closeMessageWindow(m_runner.session(), m_id); },
        app::CommandStart::Continuing);
}

bool MessageWindowView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_webLabel) {
            m_runner.run(
                [this] { app::clickWebLabel(m_runner.session()); }, app::CommandStart::Continuing);
            return true;
        }
        if (watched == m_emailLabel) {
            m_runner.run([this] { app::clickEmailLabel(m_runner.session()); },
                app::CommandStart::Continuing);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MessageWindowView::render()
{
    const core::MessageWindow& state = m_runner.session().messages[m_id];
    if (m_label != nullptr)
        m_label->setText(displayText(state.text));
    if (m_supportText != nullptr && state.loaded) {
        const QString text = displayText(state.text);
        if (m_supportText->toPlainText() != text)
            m_supportText->setPlainText(text);
    }
    if (state.visible && !isVisible()) {
        centreOnAnchor();
        show();
        raise();
        activateWindow();
    } else if (!state.visible && isVisible()) {
        hide();
    }
}

void MessageWindowView::centreOnAnchor() { placeOverAnchor(*this, m_anchor, 0.5); }

MessageWindowViews::MessageWindowViews(CommandRunner& runner)
{
    constexpr std::array kIds { MessageWindowId::Form5, MessageWindowId::Form6,
        MessageWindowId::Form9, MessageWindowId::Form10, MessageWindowId::Form7,
        MessageWindowId::Form8 };
    for (MessageWindowId id : kIds)
        m_views[static_cast<std::size_t>(id)] = std::make_unique<MessageWindowView>(runner, id);
    for (auto& view : m_views)
        QObject::connect(
            &runner, &CommandRunner::stateChanged, view.get(), &MessageWindowView::render);
}

MessageWindowViews::~MessageWindowViews() = default;

MessageWindowView& MessageWindowViews::view(MessageWindowId id)
{
    return *m_views[static_cast<std::size_t>(id)];
}

void MessageWindowViews::setAnchor(QWidget* anchor)
{
    for (auto& view : m_views)
        view->setAnchor(anchor);
}

void MessageWindowViews::render()
{
    for (auto& view : m_views)
        view->render();
}

} // namespace quantem::ui
