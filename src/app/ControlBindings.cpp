#include "ControlBindings.h"

#include "ColorChooser.h"
#include "EdgeColorControls.h"
#include "ui_mainWindow.h"

#include <QSignalBlocker>

#include <cstring>

namespace {

using Shown = std::function<int(const RenderStates&)>;
using Store = std::function<void(RenderStates&, int)>;

// The item of a colour box that shows color; a colour without a name gets an item of its own.
void showColor(ColorChooser* box, const QColor& color) {
    // Some colours have two names ("aqua" and "cyan"): the one shown stays.
    if (box->currentIndex() >= 0 && box->color() == color) return;
    box->setColor(color);
    if (box->currentIndex() >= 0) return;
    box->addItem(color.name());
    box->setItemData(box->count() - 1, color, Qt::DecorationRole);
    box->setCurrentIndex(box->count() - 1);
}

void showValue(QWidget* control, int value) {
    const QSignalBlocker block(control);
    if (auto* box = qobject_cast<ColorChooser*>(control)) {
        showColor(box, QColor::fromRgba(static_cast<QRgb>(value)));
    } else if (auto* slider = qobject_cast<QSlider*>(control)) {
        slider->setValue(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setChecked(value != 0);
    } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        // An exclusive button is unchecked by checking another.
        if (value) radio->setChecked(true);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(value != 0);
    }
}

// A switch of one bool field.
Shown flagShown(bool RenderStates::*field) {
    return [field](const RenderStates& s) { return int(s.*field); };
}
Store flagStore(bool RenderStates::*field) {
    return [field](RenderStates& s, int on) { s.*field = on != 0; };
}

// A switch of one bit of a mask.
Shown bitShown(int32_t RenderStates::*mask, int32_t bit) {
    return [mask, bit](const RenderStates& s) { return int((s.*mask & bit) != 0); };
}
Store bitStore(int32_t RenderStates::*mask, int32_t bit) {
    return [mask, bit](RenderStates& s, int on) { s.*mask = on ? s.*mask | bit : s.*mask & ~bit; };
}

// One of a set of exclusive buttons: checked while field holds value, and only a checked one
// writes.
Shown choiceShown(int32_t RenderStates::*field, int32_t value) {
    return [field, value](const RenderStates& s) { return int(s.*field == value); };
}
Store choiceStore(int32_t RenderStates::*field, int32_t value) {
    return [field, value](RenderStates& s, int on) {
        if (on) s.*field = value;
    };
}

Shown numberShown(int32_t RenderStates::*field) {
    return [field](const RenderStates& s) { return s.*field; };
}
Store numberStore(int32_t RenderStates::*field) {
    return [field](RenderStates& s, int value) { s.*field = value; };
}

bool isTreemap(int viewType) { return viewType == 2 || viewType == 3; }

}  // namespace

ControlBindings::ControlBindings(Ui::MainWindow& p, EdgeColorControls& edgeColors,
                                 RenderStates& states, QObject* parent)
    : QObject(parent), m_panel(p), m_states(states) {
    using S = RenderStates;
    add(p.rootedTreeButton, choiceShown(&S::viewType, 0), choiceStore(&S::viewType, 0));
    add(p.balloonTreeButton, choiceShown(&S::viewType, 1), choiceStore(&S::viewType, 1));
    // The treemap button shows whichever type the treemap group holds.
    add(
        p.treemapButton, [](const S& s) { return int(isTreemap(s.viewType)); },
        [](S& s, int on) {
            if (on) s.viewType = 2 + s.stripTreemap;
        });
    add(p.radialTreeButton, choiceShown(&S::viewType, 4), choiceStore(&S::viewType, 4));
    // Choosing another treemap type shows that treemap, whichever layout was chosen; the type
    // in force chosen again changes nothing, as its button does not toggle.
    for (const int strip : {0, 1}) {
        add(strip == 0 ? p.sliceAndDiceButton : p.stripsButton,
            choiceShown(&S::stripTreemap, strip), [strip](S& s, int on) {
                if (!on || s.stripTreemap == strip) return;
                s.stripTreemap = strip;
                s.viewType = 2 + strip;
            });
    }
    add(p.mode3DBox, flagShown(&S::mode3D), flagStore(&S::mode3D));
    QWidget* drawn[] = {p.drawVerticesBox, p.drawHierarchyBox, p.drawRelationsBox, p.drawGridBox};
    QWidget* shadowed[] = {p.vertexShadowBox, p.hierarchyShadowBox, p.relationShadowBox,
                           p.gridShadowBox};
    for (int i = 0; i < 4; ++i) {
        add(drawn[i], bitShown(&S::drawMask, 1 << i), bitStore(&S::drawMask, 1 << i));
        add(shadowed[i], bitShown(&S::shadowMask, 1 << i), bitStore(&S::shadowMask, 1 << i));
    }
    // The slider holds thousandths of the bundling strength.
    add(
        p.betaSlider, [](const S& s) { return qRound(s.beta * 1000); },
        [](S& s, int value) { s.beta = value / 1000.0f; });
    add(p.rotateXSlider, numberShown(&S::rotationX), numberStore(&S::rotationX));
    add(p.rotateYSlider, numberShown(&S::rotationY), numberStore(&S::rotationY));
    add(p.rotateZSlider, numberShown(&S::rotationZ), numberStore(&S::rotationZ));
    add(p.scaleSlider, numberShown(&S::scale), numberStore(&S::scale));
    add(p.cushionBox, flagShown(&S::cushion), flagStore(&S::cushion));
    add(p.blendingGroup, flagShown(&S::blending), flagStore(&S::blending));
    QWidget* methods[] = {p.standardBlendButton, p.minMaxBlendButton, p.standardMinMaxBlendButton,
                          p.averageBlendButton, p.summedBlendButton};
    for (int i = 0; i < 5; ++i) {
        add(methods[i], choiceShown(&S::blendMethod, i), choiceStore(&S::blendMethod, i));
    }
    add(p.lightingGroup, flagShown(&S::lighting), flagStore(&S::lighting));
    QWidget* lights[] = {p.pointLightButton, p.conicLightButton, p.spotLightButton};
    for (int i = 0; i < 3; ++i) {
        add(lights[i], choiceShown(&S::lightType, i), choiceStore(&S::lightType, i));
    }
    add(p.lightRadiusSlider, numberShown(&S::lightRadius), numberStore(&S::lightRadius));
    add(p.lightAttenuationSlider, numberShown(&S::lightAttenuation),
        numberStore(&S::lightAttenuation));
    add(p.shadowGroup, flagShown(&S::shadow), flagStore(&S::shadow));
    addColor(p.vertexColorBox, &S::vertexColor, true);
    addColor(p.hierarchyColorBox, &S::hierarchyColor, true);
    // The relation colours keep the opacity the alpha slider sets.
    addColor(p.relationStartColorBox, &S::relationStartColor, false);
    addColor(p.relationEndColorBox, &S::relationEndColor, false);
    addColor(p.selectionColorBox, &S::selectionColor, true);
    addColor(edgeColors.outgoing(), &S::outgoingEdgeColor, true);
    addColor(edgeColors.incoming(), &S::incomingEdgeColor, true);
    // Per cent of opacity, for both ends of every relation edge.
    add(
        p.relationAlphaSlider, [](const S& s) { return qRound(s.relationEndColor[3] * 100); },
        [](S& s, int value) { s.relationStartColor[3] = s.relationEndColor[3] = value / 100.0f; });
    for (const Binding& binding : m_bindings) listen(binding.control);
}

void ControlBindings::add(QWidget* control, Shown shown, Store store) {
    m_bindings.push_back({control, std::move(shown), std::move(store)});
}

void ControlBindings::addColor(QWidget* box, float (RenderStates::*field)[4], bool withAlpha) {
    add(
        box,
        [field](const RenderStates& s) {
            const float* c = s.*field;
            return static_cast<int>(QColor::fromRgbF(c[0], c[1], c[2]).rgba());
        },
        [field, withAlpha](RenderStates& s, int value) {
            const QRgb rgba = static_cast<QRgb>(value);
            float* c = s.*field;
            c[0] = qRed(rgba) / 255.0f;
            c[1] = qGreen(rgba) / 255.0f;
            c[2] = qBlue(rgba) / 255.0f;
            if (withAlpha) c[3] = qAlpha(rgba) / 255.0f;
            // The start of a relation edge is as opaque as its end.
            if (field == &RenderStates::relationStartColor) c[3] = s.relationEndColor[3];
        });
}

void ControlBindings::listen(QWidget* control) {
    auto changed = [this, control] { store(control, controlValue(control)); };
    if (auto* box = qobject_cast<QComboBox*>(control)) {
        // The name activated is the colour chosen, whichever item is current.
        connect(box, &QComboBox::textActivated, this, [this, control](const QString& name) {
            store(control, static_cast<int>(QColor(name).rgba()));
        });
    } else if (auto* slider = qobject_cast<QSlider*>(control)) {
        connect(slider, &QSlider::valueChanged, this, changed);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        connect(group, &QGroupBox::toggled, this, changed);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        connect(button, &QAbstractButton::toggled, this, changed);
    }
}

int ControlBindings::controlValue(const QWidget* control) {
    if (auto* box = qobject_cast<const ColorChooser*>(control)) {
        return static_cast<int>(box->color().rgba());
    }
    if (auto* slider = qobject_cast<const QSlider*>(control)) return slider->value();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->isChecked();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->isChecked();
    return 0;
}

void ControlBindings::store(const QWidget* control, int value) {
    // Byte for byte, as the drawing surface compares the record.
    unsigned char before[sizeof(RenderStates)];
    std::memcpy(before, &m_states, sizeof(RenderStates));
    for (const Binding& binding : m_bindings) {
        if (binding.control == control) binding.store(m_states, value);
    }
    // A change may move other controls (a treemap type checks the treemap button); a radio
    // button let go of changes nothing and shows nothing, so the button taking over stays.
    if (std::memcmp(before, &m_states, sizeof(RenderStates)) != 0) show();
}

void ControlBindings::show() {
    for (const Binding& binding : m_bindings) showValue(binding.control, binding.shown(m_states));
    // Only the balloon tree and the treemaps have a grid; only the treemaps have a type.
    const int view = m_states.viewType;
    m_panel.drawGridBox->setEnabled(view >= 1 && view <= 3);
    m_panel.treemapGroup->setEnabled(isTreemap(view));
}
