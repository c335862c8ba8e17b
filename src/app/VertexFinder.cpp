#include "VertexFinder.h"

#include "GraphStore.h"
#include "VertexMatchModel.h"
#include "VertexNameIndex.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QRegularExpression>
#include <QShortcut>

#include <string>
#include <vector>

VertexFinder::VertexFinder(QWidget* parent)
    : QLineEdit(parent), m_model(new VertexMatchModel(this)), m_completer(new QCompleter(this)) {
    setPlaceholderText(tr("Find vertex (Ctrl+F)"));
    setToolTip(tr("Type a vertex name or part of one; Enter or a listed name selects it"));
    setClearButtonEnabled(true);
    // The model already holds only what matches: the completer lists it as it is.
    m_completer->setModel(m_model);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(12);
    setCompleter(m_completer);

    auto* shortcut = new QShortcut(QKeySequence::Find, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] {
        setFocus(Qt::ShortcutFocusReason);
        selectAll();
    });
    // Only typing searches: the completer's own changes to the text (a highlighted row) do not.
    connect(this, &QLineEdit::textEdited, this, &VertexFinder::listMatches);
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) {
                choose(index.data(Qt::UserRole).value<uint32_t>(),
                       index.data(Qt::DisplayRole).toString());
            });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        // Enter on a highlighted row is the completer's: it reports the row as activated.
        const QAbstractItemView* popup = m_completer->popup();
        if (popup->isVisible() && popup->currentIndex().isValid()) return;
        findText();
    });
}

VertexFinder::~VertexFinder() = default;

QSize VertexFinder::sizeHint() const {
    return {fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32, QLineEdit::sizeHint().height()};
}

void VertexFinder::setGraph(const GraphStore* graph) {
    m_graph = graph;
    m_index.reset();
    m_model->setMatches({});
}

const VertexNameIndex* VertexFinder::index() {
    if (!m_index && m_graph) m_index = std::make_unique<VertexNameIndex>(*m_graph);
    return m_index.get();
}

void VertexFinder::listMatches(const QString& text) {
    const VertexNameIndex* names = index();
    if (!names || text.isEmpty()) {
        m_model->setMatches({});
        m_completer->popup()->hide();
        return;
    }
    m_model->setMatches(names->find(text.toStdString(), kListed));
    if (m_model->rowCount() > 0) {
        m_completer->complete();
    } else {
        m_completer->popup()->hide();
    }
}

void VertexFinder::choose(uint32_t id, const QString& rowText) {
    setText(rowText);
    m_completer->popup()->hide();
    emit vertexChosen(id);
}

bool VertexFinder::findText() {
    const VertexNameIndex* names = index();
    const QString text = this->text();
    if (!names || text.isEmpty()) return false;

    // A listed row's text ("name (id)") names its vertex even among equal names.
    static const QRegularExpression row(QStringLiteral("^(.*) \\((\\d+)\\)$"),
                                        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch listed = row.match(text);
    if (listed.hasMatch()) {
        bool ok = false;
        const uint32_t id = listed.captured(2).toUInt(&ok);
        for (const auto& m : names->named(listed.captured(1).toStdString(), SIZE_MAX)) {
            if (ok && m.id == id) {
                choose(id, text);
                return true;
            }
        }
    }

    // A whole name: exactly as typed first, then ignoring case.
    const std::string typed = text.toStdString();
    const std::vector<VertexNameIndex::Match> named = names->named(typed, kListed);
    std::vector<VertexNameIndex::Match> exact;
    for (const auto& m : named) {
        if (m.name == typed) exact.push_back(m);
    }
    const std::vector<VertexNameIndex::Match>& whole = exact.empty() ? named : exact;
    std::vector<VertexNameIndex::Match> candidates =
        whole.empty() ? names->find(typed, kListed) : whole;
    if (candidates.size() == 1) {
        const QString name =
            QString::fromUtf8(candidates[0].name.data(), qsizetype(candidates[0].name.size()));
        choose(candidates[0].id, VertexMatchModel::rowText(name, candidates[0].id));
        return true;
    }
    // Several fit: list them and let the user pick.
    m_model->setMatches(candidates);
    if (!candidates.empty()) m_completer->complete();
    return false;
}
