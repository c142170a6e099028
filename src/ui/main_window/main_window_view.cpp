#include "ui/main_window/main_window_view.h"

#include <algorithm>
#include <limits>

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "core/run_error.h"
#include "ui/main_window/caption_label.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/view_style.h"

namespace tanka {
namespace {

QRect pixels(const TwipsRect& r) {
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
            twipsToPixels(r.height)};
}

} // namespace

MainWindowView::MainWindowView(MainForm& form, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_form(form), m_boxes(boxes) {
    setObjectName(QStringLiteral("mainWindow"));
    setFixedSize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(WindowBackColor));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(windowFont(9));

    build();

    m_timer.setInterval(BlinkIntervalMs);
    connect(&m_timer, &QTimer::timeout, this,
            [this] { dispatch([this] { m_form.onBlinkTimer(); }); });

    m_form.processEvents = [this] {
        sync();
        QCoreApplication::processEvents();
    };
    m_form.unload = [this] { close(); };
    sync();
}

void MainWindowView::build() {
    const auto table = layoutTable();
    QWidget* panel = nullptr;
    for (const LayoutEntry& e : table) {
        QWidget* w = nullptr;
        switch (e.kind) {
        case ControlKind::Panel: {
            auto* frame = new QFrame(this);
            panel = frame;
            w = frame;
            break;
        }
        case ControlKind::Button:
            w = new QPushButton(this);
            break;
        case ControlKind::CheckBox:
            w = new QCheckBox(this);
            break;
        case ControlKind::Label: {
            auto* label = new CaptionLabel(this);
            label->setWordWrap(true);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignTop | (e.centred ? Qt::AlignHCenter : Qt::AlignLeft));
            w = label;
            break;
        }
        case ControlKind::Timer:
            break;
        }
        if (!w) {
            m_items.push_back({&e, nullptr});
            continue;
        }
        w->setObjectName(objectNameOf(e));
        w->setFont(windowFont(e.points, e.bold, e.italic));
        w->setGeometry(pixels(e.rect));
        if (e.kind == ControlKind::Label || e.kind == ControlKind::Panel)
            w->setFocusPolicy(Qt::NoFocus);
        m_items.push_back({&e, w});
        connectClick(e, w);
        if (e.ref == ControlRef{ControlId::busyBanner})
            buildProgress(w);
    }
    // The panel's controls are placed relative to it.
    for (Item& item : m_items)
        if (item.entry->inPanel && item.widget && panel)
            item.widget->setParent(panel);
    // Listed first is in front: raise from the back of the table forwards.
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if (it->widget)
            it->widget->raise();

    QWidget* previous = nullptr;
    for (const ControlRef ref : tabOrder()) {
        QWidget* w = widget(ref);
        if (previous && w)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
    if (QWidget* first = widget(tabOrder().front()))
        first->setFocus();
}

// The step and the bar sit inside the banner, above and below its caption,
// so the banner keeps its place, size and text.
void MainWindowView::buildProgress(QWidget* banner) {
    const int width = banner->width();
    const int height = banner->height();
    m_progressLabel = new QLabel(banner);
    m_progressLabel->setObjectName(QStringLiteral("busyProgressText"));
    m_progressLabel->setFont(windowFont(14.25, true));
    m_progressLabel->setAlignment(Qt::AlignCenter);
    m_progressLabel->setGeometry(8, 8, width - 16, height / 5);
    m_progressLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_progressBar = new QProgressBar(banner);
    m_progressBar->setObjectName(QStringLiteral("busyProgressBar"));
    m_progressBar->setFont(windowFont(12));
    m_progressBar->setGeometry(16, height - height / 5 - 8, width - 32, height / 6);
    m_progressBar->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The window is disabled while a run works; the step and the bar are
    // drawn as if enabled so they stay readable.
    for (QWidget* w :
         {static_cast<QWidget*>(m_progressLabel), static_cast<QWidget*>(m_progressBar)}) {
        QPalette pal = w->palette();
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto r = static_cast<QPalette::ColorRole>(role);
            pal.setColor(QPalette::Disabled, r, pal.color(QPalette::Active, r));
        }
        w->setPalette(pal);
    }
    m_progressLabel->hide();
    m_progressBar->hide();
}

void MainWindowView::connectClick(const LayoutEntry& e, QWidget* w) {
    const auto i = static_cast<std::int16_t>(e.ref.index);
    std::function<void()> handler;
    switch (e.ref.id) {
    case ControlId::conversionKindButtons:
        handler = [this, i] { m_form.onConversionKindClicked(i); };
        break;
    case ControlId::destinationButtons:
        handler = [this, i] { m_form.onDestinationClicked(i); };
        break;
    case ControlId::roundingMethodButtons:
        handler = [this, i] { m_form.onRoundingMethodClicked(i); };
        break;
    case ControlId::roundingUnitButtons:
        handler = [this, i] { m_form.onRoundingUnitClicked(i); };
        break;
    case ControlId::executeButton:
        handler = [this] { m_form.onExecuteClicked(); };
        break;
    case ControlId::exitButton:
        handler = [this] { m_form.onExitClicked(); };
        break;
    case ControlId::storeButton:
        handler = [this] { m_form.onStoreClicked(); };
        break;
    case ControlId::previewButton:
        handler = [this] { m_form.onPreviewClicked(); };
        break;
    case ControlId::forceButton:
        handler = [this] { m_form.onForceClicked(); };
        break;
    case ControlId::cancelForceButton:
        handler = [this] { m_form.onCancelForceClicked(); };
        break;
    case ControlId::conversionKindChecks:
    case ControlId::roundingUnitChecks:
    case ControlId::roundingMethodChecks: {
        const ControlId group = e.ref.id;
        handler = [this, group, i] { m_form.userClickCheck(group, i); };
        break;
    }
    default:
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        connect(button, &QAbstractButton::clicked, this,
                [this, handler = std::move(handler)] { dispatch(handler); });
}

void MainWindowView::dispatch(const std::function<void()>& handler) {
    if (m_unloaded)
        return;
    ++m_depth;
    bool failed = false;
    try {
        handler();
    } catch (const RunError& e) {
        failed = true;
        m_boxes.show(fatalErrorText(e), MsgButtons::Ok, MsgIcon::Critical);
    } catch (const std::exception& e) {
        failed = true;
        m_boxes.show(fatalErrorText(RunError(0, e.what())), MsgButtons::Ok, MsgIcon::Critical);
    }
    --m_depth;
    sync();
    if (m_depth == 0 && (failed || m_closePending))
        close();
}

QWidget* MainWindowView::widget(ControlRef ref) const {
    for (const Item& item : m_items)
        if (item.entry->ref == ref)
            return item.widget;
    return nullptr;
}

void MainWindowView::mirror(Item& item, const Control& c) {
    QWidget* w = item.widget;
    // The style sheet depends on the colour alone; building and comparing it
    // is the costly part of a mirror.
    if (!item.mirrored || c.backColor != item.shown.backColor)
        w->setStyleSheet(controlStyleSheet(*item.entry, c, m_highlightText));
    if (!item.mirrored || c.caption != item.shown.caption) {
        if (auto* label = qobject_cast<QLabel*>(w)) {
            QString text = c.caption;
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            label->setText(text);
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            button->setText(c.caption);
        }
    }
    if (!item.mirrored || c.enabled != item.shown.enabled)
        w->setEnabled(c.enabled);
    if (!item.mirrored || c.visible != item.shown.visible)
        w->setVisible(c.visible);
    item.shown = c;
    item.mirrored = true;
}

void MainWindowView::mirrorProgress() {
    const BusyProgress& p = m_form.model().busyProgress;
    if (p == m_progressShown || !m_progressBar)
        return;
    m_progressLabel->setText(p.text);
    m_progressLabel->setVisible(!p.text.isEmpty());
    m_progressBar->setVisible(!p.text.isEmpty());
    if (p.total < 0) {
        m_progressBar->setRange(0, 0); // not known yet: a busy bar
    } else {
        // The bar counts in int; a table of more rows is shown in steps.
        const qint64 scale = p.total / std::numeric_limits<int>::max() + 1;
        m_progressBar->setRange(0, static_cast<int>(p.total / scale));
        m_progressBar->setValue(static_cast<int>(std::min(p.done, p.total) / scale));
    }
    m_progressShown = p;
}

void MainWindowView::sync() {
    if (m_unloaded)
        return;
    const WindowModel& m = m_form.model();
    // The active group's colour, whether or not the window is active: Windows
    // gives an inactive window black highlighted text, which would turn the
    // labels drawn in it black while a message box is up.
    const QColor highlightText = palette().color(QPalette::Active, QPalette::HighlightedText);
    const bool restyle = highlightText != m_highlightText;
    m_highlightText = highlightText;
    for (Item& item : m_items) {
        const Control& c = m.at(item.entry->ref);
        if (item.entry->kind == ControlKind::Timer) {
            if (c.enabled && !m_timer.isActive())
                m_timer.start();
            else if (!c.enabled && m_timer.isActive())
                m_timer.stop();
            continue;
        }
        if (restyle)
            item.mirrored = false;
        // A check box toggles itself when clicked, before its handler sets the
        // model; its mark is therefore compared with the widget every time.
        if (auto* box = qobject_cast<QCheckBox*>(item.widget);
            box && box->isChecked() != (c.value == 1))
            box->setChecked(c.value == 1);
        if (!item.mirrored || !(c == item.shown))
            mirror(item, c);
    }
    mirrorProgress();
    if (windowTitle() != m.caption)
        setWindowTitle(m.caption);
    if (isEnabled() != m.enabled)
        setEnabled(m.enabled);
    if (pos() != QPoint(m.left, m.top))
        move(m.left, m.top);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    // A handler is still running (the close came through its processing of
    // events, or from Exit or the end of a run): close once it has returned.
    if (m_depth > 0 || m_form.running()) {
        m_closePending = m_depth > 0;
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        m_timer.stop();
        if (onUnload)
            onUnload();
    }
    event->accept();
}

} // namespace tanka
