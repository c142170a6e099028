#include "ui/main_window/main_form.h"

#include "core/run_error.h"

namespace tanka {

MainForm::MainForm(WindowModel& model, Globals& globals,
                   std::unique_ptr<Connection>& programConnection, FormServices services)
    : m(model), g(globals), m_cn(programConnection), m_services(services) {}

Connection& MainForm::cn() {
    if (!m_cn)
        throw RunError(err::ObjectNotSet, "Object variable or With block variable not set");
    return *m_cn;
}

void MainForm::doEvents() {
    if (processEvents)
        processEvents();
}

void MainForm::updateExecuteEnabled() {
    if (g.technicalKind == ConversionKind::None && g.retailKind == ConversionKind::None)
        m.executeButton.enabled = false;
    else if (g.roundingMethod == RoundingMethod::None || g.roundingUnit == RoundingUnit::None)
        m.executeButton.enabled = false;
    else
        m.executeButton.enabled = true;
    m.previewButton.enabled = m.executeButton.enabled;
    doEvents();
}

void MainForm::onBlinkTimer() {
    if (!m.warningLabel.caption.isEmpty())
        m.warningLabel.caption.clear();
    else
        m.warningLabel.caption = QString::fromUtf8(WarningText);
    doEvents();
}

void MainForm::onExitClicked() {
    if (unload)
        unload();
}

void MainForm::onPreviewClicked() {
    if (previewHandler)
        previewHandler();
}

void MainForm::onStoreClicked() {
    if (storeSelectionHandler)
        storeSelectionHandler();
}

void MainForm::onForceClicked() {
    if (forceHandler)
        forceHandler();
}

void MainForm::onCancelForceClicked() {
    if (cancelForceHandler)
        cancelForceHandler();
}

} // namespace tanka
