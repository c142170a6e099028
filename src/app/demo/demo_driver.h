#pragma once
// Drives the real main window the way a user would: clicks its buttons in
// turn and answers every message box that comes up with はい or OK, reporting
// each step on standard output.

#include <functional>
#include <vector>

#include <QObject>
#include <QString>
#include <QTimer>

#include "ui/main_window/layout_table.h"

namespace tanka {

class MainWindowView;

class DemoDriver final : public QObject {
    Q_OBJECT

public:
    explicit DemoDriver(MainWindowView& view);

    // Steps run one after another, pause milliseconds apart, once the event
    // loop runs. A step may open modal boxes; they are answered meanwhile.
    // While another modal dialog is open, the next step waits.
    void addClick(ControlRef ref);
    void addStep(std::function<void()> step);
    void start(int pause = 300);

    int boxesAnswered() const { return m_boxesAnswered; }

private:
    void runNext();
    void answerModalBox();

    MainWindowView& m_view;
    std::vector<std::function<void()>> m_steps;
    std::size_t m_next = 0;
    int m_pause = 300;
    QTimer m_boxWatch;
    int m_boxesAnswered = 0;
};

} // namespace tanka
