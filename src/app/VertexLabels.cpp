#include "VertexLabels.h"

#include "DrawnPosition.h"
#include "GraphStore.h"
#include "LabelPlacement.h"
#include "OpenGLWidget.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "ShownGraph.h"
#include "ShownInfoText.h"
#include "TreeMap.h"
#include "View.h"
#include "ViewBounds.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <unordered_map>

namespace {

enum Priority { kSelected = 0, kCollapsed = 1, kLeaf = 2, kInner = 3 };

// The picture position of a layout record through the camera; false when behind it or off the
// picture.
struct Projector {
    Matrix4 viewProjection;
    float rotation[3];
    float scale;
    float width, height;

    bool operator()(const LayoutRecord& record, float& x, float& y) const {
        const Vector3 p = drawnPosition(record, rotation[0], rotation[1], rotation[2], scale);
        const Vector4 clip = math::transform(viewProjection, {p[0], p[1], p[2], 1.0f});
        if (!(clip[3] > 0)) return false;
        x = (clip[0] / clip[3] + 1) / 2 * width;
        y = (1 - clip[1] / clip[3]) / 2 * height;
        return x >= 0 && y >= 0 && x <= width && y <= height;
    }
};

// A collapsed vertex's ring grows with the logarithm of what it hides.
double ringRadius(uint32_t hidden) { return 3 + 1.2 * std::log2(1.0 + hidden); }

void outlinedText(QPainter& painter, const QPainterPath& path, const QColor& color) {
    painter.setPen(QPen(QColor(0, 0, 0, 200), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
}

}  // namespace

VertexLabels::VertexLabels(OpenGLWidget* surface) : QObject(surface), m_surface(surface) {
    m_font.setPointSizeF(9);
    surface->setPainterOverlay([this](QPainter& painter) {
        if (m_enabled) paint(painter);
        if (g_renderStates.overlay) paintInfo(painter);
    });
}

void VertexLabels::paint(QPainter& painter) {
    m_drawn = 0;
    const GraphStore* graph = g_graph;
    View* const* views = m_surface->views();
    const int viewType = g_renderStates.viewType;
    if (!graph || !views || viewType < 0 || viewType > 4 || !views[viewType]) return;
    // Finding the labels walks every vertex; a draft of a large graph must stay quick.
    if (m_surface->drawsDrafts() && graph->vertexCount() > kDraftVertices) return;
    // The later parts of a frame drawn in parts show what its first part found: nothing a
    // label depends on changes between them, and at a million vertices the walk costs more
    // than a part.
    const quint64 frame = m_surface->framesBegun();
    if (!m_found || m_foundInFrame != frame) {
        m_found.reset();
        m_found = std::make_unique<Found>(find(*graph, *views[viewType], viewType));
        m_foundInFrame = frame;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(m_font);
    for (const auto& [centre, radius] : m_found->rings) {
        // Filled between two circles: stroked curves do not show on the GL paint engine here.
        QPainterPath ring;
        ring.setFillRule(Qt::OddEvenFill);
        ring.addEllipse(centre, radius + 1, radius + 1);
        ring.addEllipse(centre, radius - 1, radius - 1);
        painter.fillPath(ring, QColor(255, 200, 0));
    }
    for (const Found::Text& text : m_found->texts) {
        painter.save();
        painter.translate(text.origin);
        painter.rotate(text.degrees);
        outlinedText(painter, text.outline, text.color);
        painter.restore();
    }
    m_drawn = static_cast<int>(m_found->texts.size());
}

VertexLabels::Found VertexLabels::find(const GraphStore& graph, const View& view,
                                       int viewType) const {
    const Camera& camera =
        g_renderStates.mode3D ? *m_surface->perspectiveCamera() : *m_surface->orthoCamera();
    const Projector project{math::multiply(camera.projection, camera.view),
                            {float(g_renderStates.rotationX), float(g_renderStates.rotationY),
                             float(g_renderStates.rotationZ)},
                            ViewBounds::sceneScale(g_renderStates.scale),
                            float(m_surface->width()),
                            float(m_surface->height())};
    const Selection& selection = m_surface->renderer()->selection();
    const uint32_t selected = selection.m_type == Selection::VERTEX && selection.m_vertex
                                  ? selection.m_vertex->getId()
                                  : UINT32_MAX;
    const bool radial = viewType == 4, treemap = viewType == 2 || viewType == 3;
    float rootX = 0, rootY = 0;
    const auto& records = view.records();
    if (radial && graph.getRoot()) {
        const uint32_t root = graph.getRoot()->getId();
        if (records.contains(root)) project(records.get(root), rootX, rootY);
    }

    // Every vertex on the picture, by priority; names measured only for those tried.
    std::vector<LabelPlacement::Candidate> candidates;
    for (const auto& [id, record] : records) {
        const VertexPtr vertex = graph.getVertex(id);
        if (!vertex) continue;
        LabelPlacement::Candidate candidate;
        if (!project(record, candidate.x, candidate.y)) continue;
        candidate.id = id;
        const bool collapsed =
            m_shown && id < m_shown->shownCount() && m_shown->hiddenDescendants(id) > 0;
        const bool leaf = vertex->getChildCount() == 0;
        candidate.priority = id == selected ? kSelected
                             : collapsed    ? kCollapsed
                             : leaf         ? kLeaf
                                            : kInner;
        if (radial && leaf && id != graph.getRoot()->getId()) {
            candidate.style = LabelPlacement::Style::Radial;
            candidate.directionX = candidate.x - rootX;
            candidate.directionY = candidate.y - rootY;
        }
        candidates.push_back(candidate);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.priority < b.priority; });
    if (candidates.size() > kMaxCandidates) candidates.resize(kMaxCandidates);

    const QFontMetricsF metrics(m_font);
    std::vector<QString> names(candidates.size());
    const auto* cells = treemap ? &static_cast<const TreeMap&>(view).mapVertices() : nullptr;
    for (size_t k = 0; k < candidates.size(); ++k) {
        LabelPlacement::Candidate& candidate = candidates[k];
        QString name = QString::fromStdString(graph.getVertex(candidate.id)->getName());
        name = shortName(name);
        if (candidate.priority == kCollapsed) {
            name += QString(" (+%1)").arg(m_shown->hiddenDescendants(candidate.id));
            candidate.gap = float(ringRadius(m_shown->hiddenDescendants(candidate.id))) + 3;
        }
        names[k] = name;
        candidate.width = float(metrics.horizontalAdvance(name));
        candidate.height = float(metrics.height());
        if (cells) {
            const auto cell = cells->find(candidate.id);
            if (cell == cells->end()) continue;
            // The rectangle's extent on the picture, from its centre and two edge midpoints.
            LayoutRecord record = records.get(candidate.id), alongX = record, alongZ = record;
            alongX.x += float(cell->second->getWidth() / 2);
            alongZ.z += float(cell->second->getHeight() / 2);
            float xx = 0, xy = 0, zx = 0, zy = 0;
            project(alongX, xx, xy);
            project(alongZ, zx, zy);
            const float halfX = std::hypot(xx - candidate.x, xy - candidate.y);
            const float halfZ = std::hypot(zx - candidate.x, zy - candidate.y);
            candidate.style = LabelPlacement::Style::Inside;
            // Read along whichever side runs more across the picture.
            const bool xAcross = std::fabs(xx - candidate.x) >= std::fabs(zx - candidate.x);
            candidate.cellWidth = 2 * (xAcross ? halfX : halfZ);
            candidate.cellHeight = 2 * (xAcross ? halfZ : halfX);
        }
    }
    std::unordered_map<uint32_t, size_t> nameOf;
    for (size_t k = 0; k < candidates.size(); ++k) nameOf[candidates[k].id] = k;

    Found found;
    const LabelPlacement placement(project.width, project.height);
    const std::vector<LabelPlacement::Placed> placed = placement.place(candidates);
    for (const LabelPlacement::Candidate& candidate : candidates) {
        if (candidate.priority != kCollapsed) continue;
        found.rings.emplace_back(QPointF(candidate.x, candidate.y),
                                 ringRadius(m_shown->hiddenDescendants(candidate.id)));
    }
    // The box is centred on the line the label runs along.
    const double ascentShift = metrics.ascent() - metrics.height() / 2;
    for (const LabelPlacement::Placed& label : placed) {
        const size_t k = nameOf.at(label.id);
        Found::Text text;
        text.origin = QPointF(label.originX, label.originY);
        text.degrees = std::atan2(label.directionY, label.directionX) * 180 / M_PI;
        text.outline.addText(QPointF(0, ascentShift), m_font, names[k]);
        text.color =
            candidates[k].priority == kCollapsed ? QColor(255, 220, 90) : QColor(255, 255, 255);
        found.texts.push_back(std::move(text));
    }
    return found;
}

void VertexLabels::paintInfo(QPainter& painter) {
    if (!m_shown || !m_full) return;
    const std::vector<std::string> lines =
        ShownInfoText::lines(*m_shown, *m_full, m_surface->renderer()->selection());
    if (lines.empty()) return;
    painter.setFont(m_font);
    const QFontMetricsF metrics(m_font);
    double y = m_surface->height() - 8 - metrics.descent() - (lines.size() - 1) * metrics.height();
    for (const std::string& line : lines) {
        QPainterPath path;
        path.addText(QPointF(8, y), m_font, QString::fromStdString(line));
        outlinedText(painter, path, QColor(255, 255, 255));
        y += metrics.height();
    }
}

QString VertexLabels::shortName(const QString& name) {
    if (name.size() <= kMaxNameCharacters) return name;
    // A character outside the basic plane takes two units: the cut keeps both or neither.
    qsizetype cut = kMaxNameCharacters - 1;
    if (name.at(cut - 1).isHighSurrogate()) --cut;
    return name.left(cut) + "…";
}
