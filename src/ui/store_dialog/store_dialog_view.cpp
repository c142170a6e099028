#include "ui/store_dialog/store_dialog_view.h"

#include <optional>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "ui/main_window/control.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/layout_table.h"
#include "ui/main_window/view_style.h"

namespace tanka {
namespace {

constexpr Rgb BackColor = rgb(0, 128, 128);
constexpr Rgb Cream = rgb(255, 255, 192);
constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Pink = rgb(255, 192, 192);
constexpr Rgb Magenta = rgb(255, 128, 255);
constexpr double FontPoints = 18;
constexpr int StoreCodeMaxLength = 4;

QRect pixels(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

QString css(Rgb c) {
    const QColor q = toQColor(c);
    return QStringLiteral("rgb(%1, %2, %3)").arg(q.red()).arg(q.green()).arg(q.blue());
}

QLabel* makeLabel(QWidget* parent, const char* objectName, const QRect& rect, Rgb back, bool framed,
                  bool centred) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setGeometry(rect);
    label->setFont(windowFont(FontPoints));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignTop | (centred ? Qt::AlignHCenter : Qt::AlignLeft));
    label->setStyleSheet(
        QStringLiteral("QLabel#%1 { background-color: %2; color: black; border: %3; }")
            .arg(label->objectName(), css(back),
                 framed ? QStringLiteral("1px solid black") : QStringLiteral("none")));
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* objectName, const QRect& rect, Rgb back) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(rect);
    button->setFont(windowFont(FontPoints));
    button->setAutoDefault(false);
    const QString s = QStringLiteral("QPushButton#") + button->objectName();
    button->setStyleSheet(
        QStringLiteral("%1 { background-color: %2; color: black; border: 2px outset %3; }"
                       "%1:pressed { border-style: inset; }"
                       "%1:focus { border: 2px solid black; }")
            .arg(s, css(back), toQColor(back).darker(115).name()));
    return button;
}

// The character code a key press types, as the entry box's key filter sees
// it: Enter 13, backspace 8, otherwise the typed character (control
// characters included, so Ctrl+V is filtered like any other character).
// Keys that type nothing (arrows, Delete, Tab, Esc) have none.
std::optional<std::int16_t> typedCode(const QKeyEvent& e) {
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return std::int16_t{13};
    case Qt::Key_Backspace:
        return std::int16_t{8};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return std::nullopt;
    default:
        break;
    }
    const QString text = e.text();
    if (text.isEmpty())
        return std::nullopt;
    const char16_t c = text.front().unicode();
    if (c == 0x7F)
        return std::nullopt;
    // Characters beyond the 16-bit signed range are never digits: -1 is
    // discarded like any other non-digit.
    return c < 0x8000 ? static_cast<std::int16_t>(c) : std::int16_t{-1};
}

} // namespace

StoreDialogView::StoreDialogView(StoreForm& form, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_form(form) {
    setObjectName(QStringLiteral("storeDialog")); // designer: Form1
    setFixedSize(twipsToPixels(StoreDialogWidthTwips), twipsToPixels(StoreDialogHeightTwips));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(BackColor));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(windowFont(FontPoints));
    build();

    m_form.processEvents = [this] {
        // Repaint only: typed keys wait until the handler has finished.
        sync();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_form.focusStoreCode = [this] { m_storeCodeEdit->setFocus(); };
    m_form.unload = [this] { accept(); };

    centreOver(owner);
    m_form.load();
    sync();
}

void StoreDialogView::build() {
    // Designer names: heading Label2, storeRow_i lbl_Mise(i), codeHeading Label1,
    // storeCodeEdit Text1, clearButton Command1, decideButton Command2.
    m_heading = makeLabel(this, "heading", pixels(210, 60, 6855, 435), Cream, true, true);
    for (int i = 0; i < StoreListSize; ++i) {
        const int left = i < 10 ? 210 : 3840;
        const int top = 600 + 510 * (i % 10);
        const QByteArray name = "storeRow_" + QByteArray::number(i);
        m_storeRows[static_cast<std::size_t>(i)] =
            makeLabel(this, name.constData(), pixels(left, top, 3225, 405), White, false, false);
    }
    m_codeHeading =
        makeLabel(this, "codeHeading", pixels(7290, 1470, 1635, 435), Cream, true, false);

    m_storeCodeEdit = new QLineEdit(this);
    m_storeCodeEdit->setObjectName(QStringLiteral("storeCodeEdit"));
    m_storeCodeEdit->setGeometry(pixels(7290, 2040, 1605, 435));
    m_storeCodeEdit->setFont(windowFont(FontPoints));
    m_storeCodeEdit->setMaxLength(StoreCodeMaxLength);
    // Every character goes through the key filter; an input method would hand
    // over composed text past it.
    m_storeCodeEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_storeCodeEdit->installEventFilter(this);
    connect(m_storeCodeEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_form.model().storeCode = text; });

    m_clearButton = makeButton(this, "clearButton", pixels(7290, 3450, 1725, 945), Pink);
    m_decideButton = makeButton(this, "decideButton", pixels(7290, 4650, 1725, 945), Magenta);
    connect(m_clearButton, &QPushButton::clicked, this, [this] {
        m_form.onClearClicked();
        sync();
    });
    connect(m_decideButton, &QPushButton::clicked, this, [this] { m_form.onDecideClicked(); });

    setTabOrder(m_storeCodeEdit, m_clearButton);
    setTabOrder(m_clearButton, m_decideButton);
    m_storeCodeEdit->setFocus();
}

void StoreDialogView::centreOver(const QWidget* owner) {
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    else
        return;
    const QRect own = frameGeometry();
    const float left =
        static_cast<float>(area.left()) + static_cast<float>(area.width() - own.width()) / 2.0f;
    const float top =
        static_cast<float>(area.top()) + static_cast<float>(area.height() - own.height()) / 2.0f;
    move(static_cast<int>(left), static_cast<int>(top));
}

void StoreDialogView::sync() {
    const StoreFormModel& m = m_form.model();
    setWindowTitle(m.caption);
    m_codeHeading->setText(m.codeHeading);
    m_heading->setText(m.heading);
    for (int i = 0; i < StoreListSize; ++i) {
        QLabel* label = m_storeRows[static_cast<std::size_t>(i)];
        if (label->text() != m.storeRows[static_cast<std::size_t>(i)])
            label->setText(m.storeRows[static_cast<std::size_t>(i)]);
    }
    if (m_storeCodeEdit->text() != m.storeCode)
        m_storeCodeEdit->setText(m.storeCode);
    m_clearButton->setText(m.clearButton);
    m_decideButton->setText(m.decideButton);
}

bool StoreDialogView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_storeCodeEdit || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    std::optional<std::int16_t> code = typedCode(*key);
    if (!code)
        return false;
    std::int16_t KeyAscii = *code;
    m_form.model().storeCode = m_storeCodeEdit->text();
    m_form.onStoreCodeKey(KeyAscii);
    sync();
    return KeyAscii == 0; // 0: the character never reaches the box
}

} // namespace tanka
