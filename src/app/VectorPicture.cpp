#include "VectorPicture.h"

#include "CurveControls.h"
#include "GraphStore.h"
#include "OpenGLWidget.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "RenderTree.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// A span is halved until the curve through its projected control points strays from the
// projected curve by less than this many pixels: the perspective projection of a polynomial
// curve is rational, so the projected control points draw it exactly only where the depth is the
// same along it.
constexpr double kProjectionTolerance = 0.1;
constexpr int kMostSplits = 8;
// Nearer than this in clip w counts as behind the eye.
constexpr float kNearestW = 1e-6f;

QColor colorOf(const float* rgba) { return QColor::fromRgbF(rgba[0], rgba[1], rgba[2], rgba[3]); }

// The share of its colour a lone curve's trace leaves on the screen before the alpha pass.
constexpr float kTraceShare = 0.35f;

// The opacity that gives a curve of colour alpha a the brightness it has on the screen over the
// background: the alpha pass lays three layers of a over the curve's trace. Where curves pile
// up, the opacities compound as the screen's alphas do.
float curveOpacity(float alpha) {
    const float layers = 1.0f - std::pow(1.0f - std::clamp(alpha, 0.0f, 1.0f), 3.0f);
    return 1.0f - (1.0f - kTraceShare) * (1.0f - layers);
}

}  // namespace

VectorPicture::VectorPicture(OpenGLWidget& surface) {
    const RenderImplementation& renderer = *surface.renderer();
    m_size = QSize(renderer.surfaceWidth(), renderer.surfaceHeight());
    const Camera* camera = renderer.camera();
    if (camera) {
        m_toClip = math::multiply(math::multiply(camera->projection, camera->view),
                                  renderer.sceneTransform());
        m_pixelsPerRadius = RenderTree::kSphereRadius * renderer.sceneScale() *
                            camera->projection[5] * float(m_size.height()) / 2.0f;
    }
    m_controls = g_graph && camera ? renderer.curveControls() : nullptr;
    m_viewType = renderer.viewType();
    m_beta = renderer.beta();
    m_drawVertices = renderer.drawVerticesOn();
    m_drawHierarchyEdges = renderer.drawHierarchyEdgesOn();
    m_drawCurves = renderer.drawRelationEdgesOn();
    m_curveColors = renderer.curveColors();
    m_vertexColor = colorOf(g_renderStates.vertexColor);
    m_hierarchyColor = colorOf(g_renderStates.hierarchyColor);
    m_selectionColor = colorOf(g_renderStates.selectionColor);
    const Selection& selection = renderer.selection();
    if (selection.m_type == Selection::VERTEX && selection.m_vertex) {
        m_selectedVertex = selection.m_vertex->getId();
    } else if (selection.m_type == Selection::HIERARCHY_EDGE && selection.m_hierarchyEdge) {
        m_selectedHierarchyEdge = selection.m_hierarchyEdge->getId();
    }
    // The few highlighted curves keep their slots in the GL only.
    const SelectionHighlight& highlight = renderer.highlight();
    std::vector<int32_t> positions;
    if (highlight.curveView == m_viewType && highlight.curve >= 0)
        positions.push_back(highlight.curve);
    if (highlight.edgesView == m_viewType) {
        positions.insert(positions.end(), highlight.edgeCurves.begin(), highlight.edgeCurves.end());
    }
    if (!positions.empty()) surface.makeCurrent();
    for (int32_t position : positions) {
        const CurveBuffers::Slot slot = renderer.curveBuffers().slot(m_viewType, size_t(position));
        if (slot != CurveBuffers::NORMAL) m_highlighted.emplace_back(size_t(position), slot);
    }
    if (!positions.empty()) surface.doneCurrent();
    std::sort(m_highlighted.begin(), m_highlighted.end());
}

bool VectorPicture::isVectorFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == "svg" || suffix == "pdf";
}

bool VectorPicture::save(const QString& fileName, QString* error) const {
    auto fail = [&](const QString& problem) {
        if (error) *error = fileName + ": " + problem;
        return false;
    };
    const bool pdf = QFileInfo(fileName).suffix().toLower() == "pdf";
    // Written beside the target and renamed at the end: a failed write leaves no half a file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return fail("cannot be written: " + file.errorString());
    try {
        if (pdf) {
            QPdfWriter writer(&file);
            writer.setCreator("Ramiflex");
            writer.setTitle(QFileInfo(fileName).fileName());
            // One point per pixel of the surface.
            writer.setResolution(72);
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setPageSize(
                QPageSize(QSizeF(m_size), QPageSize::Point, QString(), QPageSize::ExactMatch));
            QPainter painter;
            if (!painter.begin(&writer)) return fail("cannot be written as PDF");
            painter.scale(double(writer.width()) / m_size.width(),
                          double(writer.height()) / m_size.height());
            paint(painter);
            painter.end();
        } else {
            QSvgGenerator generator;
            generator.setOutputDevice(&file);
            generator.setSize(m_size);
            generator.setViewBox(QRect(QPoint(0, 0), m_size));
            // A browser's pixel: the picture opens at the surface's size.
            generator.setResolution(96);
            generator.setTitle(QFileInfo(fileName).fileName());
            generator.setDescription("Drawn by Ramiflex");
            QPainter painter;
            if (!painter.begin(&generator)) return fail("cannot be written as SVG");
            paint(painter);
            painter.end();
        }
    } catch (const std::bad_alloc&) {
        file.cancelWriting();
        return fail("there was not enough memory to draw the picture");
    }
    if (!file.commit()) return fail("cannot be written: " + file.errorString());
    return true;
}

int VectorPicture::bandsFor(size_t curveCount) {
    constexpr size_t kBandBudget = 24'000'000 / 170;
    return int(std::clamp<size_t>(kBandBudget / std::max<size_t>(curveCount, 1), 1, 8));
}

void VectorPicture::paint(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    // The surface clears to black.
    painter.fillRect(QRect(QPoint(0, 0), m_size), Qt::black);
    if (!m_controls) return;
    painter.setClipRect(QRect(QPoint(0, 0), m_size));
    // The screen draws the curves last but tests them against the scene's depth: where they run
    // below the tree, it hides them; where they lie in its plane they win the tie with the
    // hierarchy edges, and only the spheres stand out.
    const bool hidden = curvesBehindScene();
    if (hidden && m_drawCurves) paintCurves(painter);
    if (m_drawHierarchyEdges) paintHierarchyEdges(painter);
    if (!hidden && m_drawCurves) paintCurves(painter);
    if (m_drawVertices) paintVertices(painter);
    // Vertex labels, once the view has them, are drawn here: over everything, like the overlay.
}

double VectorPicture::projectionError(const BezierSpans::Span& span, const QPointF* p) const {
    double error = 0;
    for (const double u : {0.25, 0.5, 0.75}) {
        const double v = 1 - u;
        const QPointF drawn =
            v * v * v * p[0] + 3 * v * v * u * p[1] + 3 * v * u * u * p[2] + u * u * u * p[3];
        const Vector4 c = clip(BezierSpans::pointOf(span, u));
        if (c[3] <= kNearestW) return 1e9;
        error = std::max(error, QLineF(drawn, toPixels(c)).length());
    }
    return error;
}

bool VectorPicture::curvesBehindScene() const {
    // Mean depths in normalised device coordinates, of the vertices and of the interior control
    // points of the first curves (the longest, which make the bundles).
    auto depth = [&](const BezierSpans::Point& p) {
        const Vector4 c = clip(p);
        return c[3] > kNearestW ? double(c[2]) / c[3] : 1.0;
    };
    double scene = 0, curves = 0;
    size_t sceneCount = 0, curveCount = 0;
    for (size_t id = 0; id < g_graph->vertexCount(); ++id, ++sceneCount) {
        scene += depth(vertexPoint(id));
    }
    for (size_t p = 0; p < std::min<size_t>(m_controls->curveCount(), 1000); ++p) {
        const std::vector<Point3> controls = m_controls->controlPolygon(m_viewType, p);
        for (size_t k = 1; k + 1 < controls.size(); ++k, ++curveCount) {
            const Point3& q = controls[k];
            curves += depth({q[0], 1.0 - double(q[1]), q[2]});
        }
    }
    if (!sceneCount || !curveCount) return false;
    return curves / double(curveCount) > scene / double(sceneCount) + 1e-4;
}

Vector4 VectorPicture::clip(const BezierSpans::Point& p) const {
    return math::transform(m_toClip, {float(p[0]), float(p[1]), float(p[2]), 1.0f});
}

QPointF VectorPicture::toPixels(const Vector4& c) const {
    // Hundredths of a pixel: finer places would only lengthen the numbers in the file.
    auto rounded = [](double v) { return std::round(v * 100.0) / 100.0; };
    return QPointF(rounded((c[0] / c[3] + 1.0) / 2.0 * m_size.width()),
                   rounded((1.0 - c[1] / c[3]) / 2.0 * m_size.height()));
}

std::optional<QPointF> VectorPicture::project(const BezierSpans::Point& point) const {
    const Vector4 c = clip(point);
    if (c[3] <= kNearestW) return std::nullopt;
    return toPixels(c);
}

BezierSpans::Point VectorPicture::vertexPoint(size_t id) const {
    const std::vector<float>& xyz = m_controls->positions(m_viewType);
    if (3 * id + 2 >= xyz.size()) return {0, 1, 0};
    return {xyz[3 * id], 1.0 - double(xyz[3 * id + 1]), xyz[3 * id + 2]};
}

void VectorPicture::paintHierarchyEdges(QPainter& painter) const {
    const GraphStore& graph = *g_graph;
    auto paintEdge = [&](uint32_t i) {
        const HierarchyEdgePtr edge = graph.getHierarchyEdge(i);
        const auto a = project(vertexPoint(edge->getStart()->getId()));
        const auto b = project(vertexPoint(edge->getEnd()->getId()));
        if (a && b) painter.drawLine(*a, *b);
    };
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(m_hierarchyColor, 1.0));
    const uint32_t count = uint32_t(graph.hierarchyEdgeCount());
    for (uint32_t i = 0; i < count; ++i) {
        if (int64_t(i) != m_selectedHierarchyEdge) paintEdge(i);
    }
    if (m_selectedHierarchyEdge >= 0 && m_selectedHierarchyEdge < int64_t(count)) {
        painter.setPen(QPen(m_selectionColor, 1.0));
        paintEdge(uint32_t(m_selectedHierarchyEdge));
    }
}

void VectorPicture::paintVertices(QPainter& painter) const {
    auto paintVertex = [&](size_t id) {
        const Vector4 c = clip(vertexPoint(id));
        if (c[3] <= kNearestW) return;
        const double radius = m_pixelsPerRadius / c[3];
        painter.drawEllipse(toPixels(c), radius, radius);
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_vertexColor);
    const size_t count = g_graph->vertexCount();
    for (size_t id = 0; id < count; ++id) {
        if (int64_t(id) != m_selectedVertex) paintVertex(id);
    }
    if (m_selectedVertex >= 0 && size_t(m_selectedVertex) < count) {
        painter.setBrush(m_selectionColor);
        paintVertex(size_t(m_selectedVertex));
    }
}

void VectorPicture::paintCurves(QPainter& painter) const {
    painter.setBrush(Qt::NoBrush);
    const size_t count = m_controls->curveCount();
    const int bands = bandsFor(count);
    std::vector<Piece> pieces;
    for (size_t first = 0; first < count; first += kBatch) {
        pieces.clear();
        const size_t end = std::min(count, first + kBatch);
        for (size_t position = first; position < end; ++position) {
            addCurvePieces(position, bands, pieces);
        }
        std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
            return a.color.rgba64() < b.color.rgba64();
        });
        QColor pen;
        for (const Piece& piece : pieces) {
            if (piece.color != pen || painter.pen().style() == Qt::NoPen) {
                pen = piece.color;
                // Flat ends, so that bands meet without overlapping, as the samples of a strip do.
                painter.setPen(QPen(pen, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
            }
            painter.drawPath(piece.path);
        }
    }
}

void VectorPicture::addCurvePieces(size_t position, int bands, std::vector<Piece>& pieces) const {
    const std::vector<Point3> controls = m_controls->controlPolygon(m_viewType, position);
    if (controls.empty()) return;
    const BezierSpans chain = BezierSpans::ofControlPoints(controls, m_beta);
    const auto found = std::lower_bound(m_highlighted.begin(), m_highlighted.end(),
                                        std::make_pair(position, CurveBuffers::Slot(0)));
    const CurveBuffers::Slot slot = found != m_highlighted.end() && found->first == position
                                        ? found->second
                                        : CurveBuffers::NORMAL;
    const std::array<float, 4>& start = m_curveColors.start[slot];
    const std::array<float, 4>& finish = m_curveColors.end[slot];
    // Plain and selected curves fade with their number of control points, the edges of a
    // picked vertex keep their colour's opacity.
    const float alpha = slot >= CurveBuffers::OUTGOING
                            ? start[3]
                            : start[3] *
                                  m_controls->alphaScale(m_controls->order(m_viewType)[position]) /
                                  float(controls.size());
    // Sample j of m has the colour at j / m: the last sample stops short of the end colour.
    const double m = double(m_controls->sampleCount());
    const double from = chain.firstParameter(), span = chain.lastParameter() - from;
    for (int band = 0; band < bands; ++band) {
        const double s = (band + 0.5) / bands * (m - 1) / m;
        QColor color = QColor::fromRgbF(float((1 - s) * start[0] + s * finish[0]),
                                        float((1 - s) * start[1] + s * finish[1]),
                                        float((1 - s) * start[2] + s * finish[2]));
        color.setAlphaF(curveOpacity(alpha));
        Piece piece{color, QPainterPath()};
        addProjectedSpans(chain.part(from + span * band / bands, from + span * (band + 1) / bands),
                          piece.path);
        if (!piece.path.isEmpty()) pieces.push_back(std::move(piece));
    }
}

void VectorPicture::addProjectedSpans(const std::vector<BezierSpans::Span>& spans,
                                      QPainterPath& path) const {
    for (const BezierSpans::Span& span : spans) addProjectedSpan(span, 0, path);
}

void VectorPicture::addProjectedSpan(const BezierSpans::Span& span, int depth,
                                     QPainterPath& path) const {
    Vector4 c[4];
    float nearest = 0, farthest = 0;
    for (int i = 0; i < 4; ++i) {
        c[i] = clip(span.points[i]);
        nearest = i ? std::min(nearest, c[i][3]) : c[i][3];
        farthest = i ? std::max(farthest, c[i][3]) : c[i][3];
    }
    // A span behind the eye has no picture (its control points enclose it); one that reaches
    // behind is halved until its parts are in front or too small to matter.
    if (farthest <= kNearestW) return;
    if (nearest <= kNearestW) {
        if (depth < kMostSplits) {
            for (const auto& half : BezierSpans::split(span, 0.5))
                addProjectedSpan(half, depth + 1, path);
        }
        return;
    }
    QPointF p[4];
    for (int i = 0; i < 4; ++i) p[i] = toPixels(c[i]);
    if (depth < kMostSplits && farthest - nearest > 1e-6f * nearest &&
        projectionError(span, p) > kProjectionTolerance) {
        for (const auto& half : BezierSpans::split(span, 0.5))
            addProjectedSpan(half, depth + 1, path);
        return;
    }
    if (path.elementCount() == 0 || path.currentPosition() != p[0]) path.moveTo(p[0]);
    path.cubicTo(p[1], p[2], p[3]);
}
