#include "ShownControls.h"

#include "DepthBox.h"
#include "ShownRequest.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>

ShownControls::ShownControls(QWidget* neighbour)
    : QObject(neighbour),
      m_depth(new DepthBox),
      m_exclude(new QLineEdit),
      m_labels(new QCheckBox(tr("Labels"))) {
    auto* group = new QGroupBox(tr("Overview"));
    group->setObjectName("groupBox_overview");
    auto* form = new QFormLayout(group);
    m_depth->setObjectName("sb_depth");
    m_depth->setToolTip(tr("Collapse every vertex at this depth; \"all\" shows every vertex"));
    m_depth->setKeyboardTracking(false);
    m_exclude->setObjectName("le_exclude");
    m_exclude->setPlaceholderText("*/tests, */third_party");
    m_exclude->setToolTip(
        tr("Patterns of paths to leave out with their subtrees (* ? [...], comma separated); "
           "Enter applies"));
    m_labels->setObjectName("cb_labels");
    m_labels->setChecked(true);
    m_labels->setToolTip(tr("Draw vertex names on the picture"));
    form->addRow(tr("Depth"), m_depth);
    form->addRow(tr("Exclude"), m_exclude);
    form->addRow(m_labels);
    // Above the page's closing spacer, right below the neighbour.
    if (auto* list = qobject_cast<QBoxLayout*>(neighbour->parentWidget()->layout())) {
        list->insertWidget(list->indexOf(neighbour) + 1, group);
    }
    // Leaving the box empty after collapsing by hand chooses nothing.
    connect(m_depth, &QSpinBox::valueChanged, this, [this](int depth) {
        if (depth != DepthBox::kByHand) emit depthChosen(depth);
    });
    connect(m_exclude, &QLineEdit::returnPressed, this,
            [this] { emit patternsApplied(splitPatterns(m_exclude->text())); });
    connect(m_labels, &QCheckBox::toggled, this, &ShownControls::labelsToggled);
}

void ShownControls::showDepth(int depth) {
    m_depth->showDepth(depth == ShownRequest::kCustom ? DepthBox::kByHand
                       : depth < 0                    ? DepthBox::kAll
                                                      : depth);
}

void ShownControls::showPatterns(const QStringList& patterns) {
    m_exclude->setText(patterns.join(", "));
}

QStringList ShownControls::splitPatterns(const QString& text) {
    QStringList patterns;
    for (const QString& part : text.split(QRegularExpression("[,\\n]"), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty()) patterns << pattern;
    }
    return patterns;
}
