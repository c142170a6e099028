#include "ui/main_window/main_form.h"

#include "core/run_error.h"

namespace tanka {

MainForm::MainForm(WindowModel& model, Globals& globals, std::unique_ptr<Connection>& CN,
                   FormServices services)
    : m(model), g(globals), m_cn(CN), m_services(services) {}

Connection& MainForm::cn() {
    if (!m_cn)
        throw RunError(err::ObjectNotSet, "Object variable or With block variable not set");
    return *m_cn;
}

void MainForm::doEvents() {
    if (processEvents)
        processEvents();
}

void MainForm::Check_Job() {
    if (g.GijuMode == -1 && g.TenMode == -1)
        m.SSCommand4.enabled = false;
    else if (g.HasuMode == -1 || g.HasuTani == -1)
        m.SSCommand4.enabled = false;
    else
        m.SSCommand4.enabled = true;
    doEvents();
}

void MainForm::Timer1_Timer() {
    if (!m.Label4.caption.isEmpty())
        m.Label4.caption.clear();
    else
        m.Label4.caption = QString::fromUtf8(WarningText);
    doEvents();
}

void MainForm::SSCommand5_Click() {
    if (unload)
        unload();
}

void MainForm::Command2_Click() {
    if (onCommand2Click)
        onCommand2Click();
}

void MainForm::SSCommand7_Click() {
    if (onSSCommand7Click)
        onSSCommand7Click();
}

void MainForm::SSCommand8_Click() {
    if (onSSCommand8Click)
        onSSCommand8Click();
}

} // namespace tanka
