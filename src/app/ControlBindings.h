#pragma once

#include "RenderStates.h"

#include <QObject>

#include <functional>
#include <vector>

class QWidget;
class EdgeColorControls;
namespace Ui {
class MainWindow;
}

// The one table between the control panel and the settings: each row names a control, the value
// it shows for a given record (checked 0 or 1, a slider's position, a colour as QRgb) and how
// that value is stored back. The same rows write the settings when a control changes and show
// the settings in the controls, so the two directions cannot drift apart.
class ControlBindings : public QObject {
    Q_OBJECT

public:
    struct Binding {
        QWidget* control;
        std::function<int(const RenderStates&)> shown;
        std::function<void(RenderStates&, int)> store;
    };

    // Binds every control of panel (and the two edge colour boxes) to states, which the
    // controls then write as the user changes them.
    ControlBindings(Ui::MainWindow& panel, EdgeColorControls& edgeColors, RenderStates& states,
                    QObject* parent);

    const std::vector<Binding>& bindings() const { return m_bindings; }
    // The value a control of the table shows now, in the table's terms.
    static int controlValue(const QWidget* control);
    // Stores value as control's row does, then shows the settings if they changed.
    void store(const QWidget* control, int value);
    // Every control shows the settings, without signals; the grid box and the treemap group are
    // enabled for the layouts that have them.
    void show();

private:
    void add(QWidget* control, std::function<int(const RenderStates&)> shown,
             std::function<void(RenderStates&, int)> store);
    void addColor(QWidget* box, float (RenderStates::*field)[4], bool withAlpha);
    void listen(QWidget* control);

    Ui::MainWindow& m_panel;
    RenderStates& m_states;
    std::vector<Binding> m_bindings;
};
