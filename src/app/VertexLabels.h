#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPainterPath>
#include <QPointF>

#include <memory>
#include <utility>
#include <vector>

class GraphStore;
class OpenGLWidget;
class QPainter;
class ShownGraph;
class View;

// Vertex names on the picture, painted with QPainter over each GL frame in every view: the
// selection and the collapsed vertices first, then the leaves, then the rest, as many as fit
// without two meeting (LabelPlacement). Radial-tree labels run along the radius, treemap labels
// stand inside their rectangles. A collapsed vertex gets a ring that grows with what it hides;
// the lines of ShownInfoText for the selection stand at the foot of the picture.
class VertexLabels : public QObject {
    Q_OBJECT

public:
    // Paints over surface's frames from now on.
    explicit VertexLabels(OpenGLWidget* surface);

    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }
    // What the graph on screen stands for (null: the whole graph, nothing collapsed) and the
    // whole graph.
    void setShownGraph(const ShownGraph* shown, const GraphStore* full) {
        m_shown = shown;
        m_full = full;
    }
    // How many labels the last frame drew.
    int drawnCount() const { return m_drawn; }

    // Candidates tried per frame at most: beyond some thousands no more fit on any picture.
    static constexpr size_t kMaxCandidates = 4000;
    // Draft frames of graphs with more vertices than this go without labels.
    static constexpr size_t kDraftVertices = 20000;
    // Longest name drawn, in UTF-16 units; longer ones are cut with an ellipsis.
    static constexpr int kMaxNameCharacters = 40;
    // The name as drawn: cut with an ellipsis when too long, never inside a character.
    static QString shortName(const QString& name);

private:
    // The labels and rings a frame shows, in picture coordinates.
    struct Found {
        struct Text {
            QPointF origin;        // where the text's box starts
            double degrees = 0;    // the direction it reads in
            QPainterPath outline;  // the text, from the origin
            QColor color;
        };
        std::vector<Text> texts;
        std::vector<std::pair<QPointF, double>> rings;  // centre and radius
    };
    void paint(QPainter& painter);
    Found find(const GraphStore& graph, const View& view, int viewType) const;
    void paintInfo(QPainter& painter);

    OpenGLWidget* m_surface;
    const ShownGraph* m_shown = nullptr;
    const GraphStore* m_full = nullptr;
    bool m_enabled = true;
    int m_drawn = 0;
    QFont m_font;
    std::unique_ptr<Found> m_found;  // of the frame numbered m_foundInFrame
    quint64 m_foundInFrame = 0;
};
