#include "app/demo/demo_driver.h"

#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/main_window/main_window_view.h"

namespace tanka {

DemoDriver::DemoDriver(MainWindowView& view) : m_view(view) {
    m_boxWatch.setInterval(400);
    connect(&m_boxWatch, &QTimer::timeout, this, &DemoDriver::answerModalBox);
}

void DemoDriver::addClick(ControlRef ref) {
    addStep([this, ref] {
        auto* button = qobject_cast<QAbstractButton*>(m_view.widget(ref));
        if (!button)
            return;
        std::printf("クリック: %s「%s」%s\n", controlName(ref).c_str(), qPrintable(button->text()),
                    button->isEnabled() ? "" : " (無効のため押せません)");
        std::fflush(stdout);
        if (button->isEnabled() && button->isVisible())
            button->click();
    });
}

void DemoDriver::addStep(std::function<void()> step) {
    m_steps.push_back(std::move(step));
}

void DemoDriver::start(int pause) {
    m_pause = pause;
    m_boxWatch.start();
    QTimer::singleShot(m_pause, this, &DemoDriver::runNext);
}

void DemoDriver::runNext() {
    if (m_next >= m_steps.size())
        return;
    // A dialog of the program (not a message box) is the user's to close:
    // the next step waits for it.
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && !qobject_cast<QMessageBox*>(modal)) {
        QTimer::singleShot(m_pause, this, &DemoDriver::runNext);
        return;
    }
    // Later steps are scheduled first: a step that ends in a modal box or the
    // end of the program must not hold back the rest.
    const std::size_t current = m_next++;
    if (m_next < m_steps.size())
        QTimer::singleShot(m_pause, this, &DemoDriver::runNext);
    m_steps[current]();
}

void DemoDriver::answerModalBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    QAbstractButton* answer = nullptr;
    for (QAbstractButton* b : box->buttons())
        if (b->text() == QStringLiteral("はい") || b->text() == QStringLiteral("OK"))
            answer = b;
    if (!answer)
        return;
    QString text = box->text();
    text.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    std::printf("メッセージ [%s] %s → %s\n", qPrintable(box->windowTitle()), qPrintable(text),
                qPrintable(answer->text()));
    std::fflush(stdout);
    ++m_boxesAnswered;
    answer->click();
}

} // namespace tanka
