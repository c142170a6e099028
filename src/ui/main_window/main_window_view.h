#pragma once
// The Qt widgets of the main window: every control of the layout table at its
// place, size, colour and font, mirroring a WindowModel. Clicks run the
// MainForm's handlers; after each handler (and whenever the logic lets events
// run) the widgets are brought in line with the model.
//
// An error raised by a handler ends the program: its number and text are shown
// and the window closes, which unloads it.

#include <functional>
#include <vector>

#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

#include "core/message_box.h"
#include "ui/main_window/main_form.h"

namespace tanka {

class MainWindowView final : public QWidget {
    Q_OBJECT

public:
    // Sets form.processEvents and form.unload; both must outlive the view.
    MainWindowView(MainForm& form, MessageBoxes& boxes, QWidget* parent = nullptr);

    // Model to widgets: captions, colours, enabled, visible, check values,
    // the banner's progress, the window's enabled state and position, and the
    // blink timer. Only controls whose model state changed since the last
    // call are touched, so a call with nothing changed costs next to nothing.
    void sync();

    // The widget of a control (nullptr for blinkTimer).
    QWidget* widget(ControlRef ref) const;
    bool timerActive() const { return m_timer.isActive(); }
    // True once the window has been unloaded.
    bool unloaded() const { return m_unloaded; }
    // The step text and the bar inside the busy banner.
    QLabel* progressLabel() const { return m_progressLabel; }
    QProgressBar* progressBar() const { return m_progressBar; }

    // The unload event, run once when the window closes for good.
    std::function<void()> onUnload;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Item {
        const LayoutEntry* entry;
        QWidget* widget;
        Control shown{};       // the model state last mirrored
        bool mirrored = false; // false until the first mirror
    };

    void build();
    void buildProgress(QWidget* banner);
    void mirror(Item& item, const Control& control);
    void mirrorProgress();
    void connectClick(const LayoutEntry& entry, QWidget* widget);
    void dispatch(const std::function<void()>& handler);

    MainForm& m_form;
    MessageBoxes& m_boxes;
    std::vector<Item> m_items;
    QTimer m_timer;
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    BusyProgress m_progressShown;
    QColor m_highlightText;
    int m_depth = 0; // handlers running (they nest through processEvents)
    bool m_closePending = false;
    bool m_unloaded = false;
};

} // namespace tanka
