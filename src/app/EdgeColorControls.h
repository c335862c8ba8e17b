#pragma once

#include <QObject>
#include <QString>

class ColorChooser;
class QWidget;

// The two colour boxes of a selected vertex's relation edges, "Outgoing Edge Color" and
// "Incoming Edge Color", added as rows below the other colour boxes of the panel. Each starts
// on the name of the colour the render states start with; the panel's table binds them.
class EdgeColorControls : public QObject {
    Q_OBJECT

public:
    // neighbour: one of the panel's colour boxes; the rows go into the layout that holds it.
    explicit EdgeColorControls(QWidget* neighbour);

    ColorChooser* outgoing() const { return m_outgoing; }
    ColorChooser* incoming() const { return m_incoming; }

private:
    ColorChooser* m_outgoing;
    ColorChooser* m_incoming;
};
