#include "EdgeColorControls.h"

#include "ColorChooser.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>

namespace {

ColorChooser* addRow(QWidget* neighbour, const QString& text, const QString& objectName,
                     const QString& tip, const QString& start) {
    QWidget* panel = neighbour->parentWidget();
    auto* label = new QLabel(text, panel);
    auto* box = new ColorChooser(panel);
    box->setObjectName(objectName);
    box->setToolTip(tip);
    label->setToolTip(tip);
    // By name: the list holds some colours twice ("aqua" and "cyan").
    box->setCurrentIndex(box->findText(start));
    if (auto* grid = qobject_cast<QGridLayout*>(panel->layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
    } else if (auto* list = qobject_cast<QBoxLayout*>(panel->layout())) {
        list->addWidget(label);
        list->addWidget(box);
    }
    return box;
}

}  // namespace

EdgeColorControls::EdgeColorControls(QWidget* neighbour)
    : QObject(neighbour),
      m_outgoing(addRow(neighbour, tr("Outgoing Edge Color"), "outgoingColorBox",
                        tr("Colour of the relation edges that start at the selected vertex"),
                        "orange")),
      m_incoming(addRow(neighbour, tr("Incoming Edge Color"), "incomingColorBox",
                        tr("Colour of the relation edges that end at the selected vertex"),
                        "cyan")) {}
