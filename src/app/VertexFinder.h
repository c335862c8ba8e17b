#pragma once

#include <QLineEdit>

#include <cstdint>
#include <memory>

class GraphStore;
class QCompleter;
class VertexMatchModel;
class VertexNameIndex;

// The search field for vertices: completion over the names of the current graph while typing,
// Ctrl+F to reach it from anywhere in the window. Choosing a listed vertex, or pressing Enter on
// a text that names exactly one, emits vertexChosen; when the text fits several, they are
// listed for the user to pick one.
class VertexFinder : public QLineEdit {
    Q_OBJECT

public:
    // How many vertices a search lists at most.
    static constexpr size_t kListed = 50;

    explicit VertexFinder(QWidget* parent = nullptr);
    ~VertexFinder() override;

    // The graph to search; its names are indexed on the first search. nullptr: nothing to find.
    void setGraph(const GraphStore* graph);
    VertexMatchModel* matches() const { return m_model; }
    // Wide enough for a typical "name (id)": a menu bar corner sizes its widget by this.
    QSize sizeHint() const override;

    // What Enter does with the text: true when it chose a vertex.
    bool findText();

signals:
    void vertexChosen(uint32_t id);

private:
    void listMatches(const QString& text);
    void choose(uint32_t id, const QString& rowText);
    const VertexNameIndex* index();

    const GraphStore* m_graph = nullptr;
    std::unique_ptr<VertexNameIndex> m_index;
    VertexMatchModel* m_model;
    QCompleter* m_completer;
};
