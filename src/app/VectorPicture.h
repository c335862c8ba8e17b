#pragma once

#include "BezierSpans.h"
#include "CurveBuffers.h"
#include "Matrix.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class CurveControls;
class OpenGLWidget;
class QPainter;

// The picture on the drawing surface as vector graphics, for SVG and PDF: the relation curves as
// the cubic Bezier spans of their splines, hierarchy edges as lines, vertices as circles, all
// projected with the camera and scene transform of the last frame. The overlay is left out.
//
// What a vector format cannot say is drawn as what reads the same:
// - The colour runs from the start to the end colour along a curve's parameter. An SVG stroke
//   has one colour (Qt's SVG writer drops gradient pens), so each curve is cut at equal
//   parameter steps into bands, each in the colour the screen gives the band's middle. Both
//   formats take the same bands, so that they show the same picture.
// - Curves are blended by alpha over one another ("Standard" blending, whatever the method on
//   screen), each as bright alone as its trace and alpha pass make it, longest curves first. A
//   new pen costs an SVG group of some 300 bytes, so within a run of kBatch consecutive curves
//   the bands are drawn by colour: the order holds between runs, and inside a run only where
//   pieces of one colour overlap.
// - The depth test becomes an order: the hierarchy edges over the curves where these lie below
//   the tree as a whole, under them where the curves lie in its plane; the vertices on top.
// - Light, shadow, the floor, the grid and the light's marker are left out.
class VectorPicture {
public:
    // Curves drawn one after another before the bands of the next run start.
    static constexpr size_t kBatch = 256;
    // Bands per curve for a picture of this many curves: as many as keep the curves' part of
    // a file within some 24 MB (a band costs about 170 bytes in either format), from 8 down
    // to 1.
    static int bandsFor(size_t curveCount);

    // Reads what the surface shows (the GL context is made current to read curve highlights).
    explicit VectorPicture(OpenGLWidget& surface);

    // Whether a file name asks for a vector picture: .svg or .pdf, in any case.
    static bool isVectorFile(const QString& fileName);
    // Writes the picture as SVG or PDF, by the name's suffix; false with a message naming the
    // file and the problem.
    bool save(const QString& fileName, QString* error) const;
    // Paints the picture in pixels of the surface.
    void paint(QPainter& painter) const;

    QSize size() const { return m_size; }
    // A drawn point in picture pixels (origin top left); nothing behind the eye.
    std::optional<QPointF> project(const BezierSpans::Point& point) const;

private:
    struct Piece {
        QColor color;
        QPainterPath path;
    };
    // The curve at list position p, cut into bands, appended to pieces.
    void addCurvePieces(size_t position, int bands, std::vector<Piece>& pieces) const;
    // The projected spans, split where the depth across a span would bend the projection.
    void addProjectedSpans(const std::vector<BezierSpans::Span>& spans, QPainterPath& path) const;
    void addProjectedSpan(const BezierSpans::Span& span, int depth, QPainterPath& path) const;
    // How far, in pixels, the cubic through the projected control points p strays from the
    // projected span, measured at three parameters.
    double projectionError(const BezierSpans::Span& span, const QPointF* p) const;
    // Whether the curves lie farther from the eye than the tree, by their mean depths.
    bool curvesBehindScene() const;
    Vector4 clip(const BezierSpans::Point& point) const;
    QPointF toPixels(const Vector4& clip) const;
    void paintHierarchyEdges(QPainter& painter) const;
    void paintVertices(QPainter& painter) const;
    void paintCurves(QPainter& painter) const;
    // The drawn position (y flipped) of vertex id in the view.
    BezierSpans::Point vertexPoint(size_t id) const;

    QSize m_size;
    Matrix4 m_toClip{};
    // Picture pixels per unit of a sphere's radius at clip w = 1.
    float m_pixelsPerRadius = 0;
    const CurveControls* m_controls = nullptr;
    int m_viewType = 0;
    float m_beta = 1;
    bool m_drawVertices = false, m_drawHierarchyEdges = false, m_drawCurves = false;
    CurveBuffers::Colors m_curveColors;
    // Slots of the highlighted curves of this view; every other curve is NORMAL.
    std::vector<std::pair<size_t, CurveBuffers::Slot>> m_highlighted;
    QColor m_vertexColor, m_hierarchyColor, m_selectionColor;
    int64_t m_selectedVertex = -1, m_selectedHierarchyEdge = -1;
};
