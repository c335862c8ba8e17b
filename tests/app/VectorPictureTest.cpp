// Vector pictures of the sample read back: every curve of the view is in the SVG as bands of
// cubic spans that start and end where the camera puts the curve's end points, and a picked
// vertex's edges in their colours. (The PDF's size and a name that cannot be written are the
// command line's to show.)
#include "AppTestSupport.h"
#include "CurveControls.h"
#include "GraphStore.h"
#include "RenderImplementation.h"
#include "VectorPicture.h"

#include <QFile>
#include <QLineF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The first and last point of every path element ("M x,y C x,y x,y x,y ..."), none for a file
// that is not well-formed; cubics counts the spans.
QList<QLineF> pathEnds(QFile&& file, int* cubics) {
    QList<QLineF> ends;
    if (!file.open(QIODevice::ReadOnly)) return ends;
    QXmlStreamReader xml(&file);
    const QRegularExpression number("-?[0-9.]+(e-?[0-9]+)?");
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"path") continue;
        const QString d = xml.attributes().value("d").toString();
        *cubics += int(d.count('C'));
        QList<double> v;
        for (auto m = number.globalMatch(d); m.hasNext();) v << m.next().captured().toDouble();
        if (v.size() >= 4) ends.append(QLineF(v[0], v[1], v[v.size() - 2], v.last()));
    }
    return xml.hasError() ? QList<QLineF>() : ends;
}

// How many of the points have a point of `among` within a hundredth of a pixel.
int matched(const QList<QPointF>& points, const QList<QPointF>& among) {
    return int(std::count_if(points.begin(), points.end(), [&](const QPointF& p) {
        return std::any_of(among.begin(), among.end(), [&](const QPointF& q) {
            return std::abs(p.x() - q.x()) < 0.01 && std::abs(p.y() - q.y()) < 0.01;
        });
    }));
}

}  // namespace

class VectorPictureTest : public QObject {
    Q_OBJECT

private slots:
    // In the 3D balloon tree, turned and scaled, and the flat radial tree. The ends are where
    // the renderer says it draws the curves' end vertices, seen through the frame's camera.
    void curvesComeBackAsBandsEndingOnTheProjectedEndsAndPickedEdgesInTheirColours() {
        for (const bool flat : {false, true}) {
            g_renderStates = RenderStates();
            MainWindow window;
            StartOptions options;
            options.mode2D = flat;
            options.view = flat ? 4 : 1;
            options.screenshot = "picture";  // settings of the command line, none remembered
            window.start(options);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.openFile(kData + "ramiflex.xml"));
            OpenGLWidget& surface = *window.openGLWidget;
            if (!flat) {
                window.rotateXSlider->setValue(25);
                window.rotateYSlider->setValue(-40);
                window.rotateZSlider->setValue(10);
                window.scaleSlider->setValue(window.scaleSlider->value() + 7);
            }
            QVERIFY(waitForCurrentFrame(surface));
            const QString svg = m_dir.filePath("p.svg");
            QString error;
            QVERIFY2(VectorPicture(surface).save(svg, &error), qPrintable(error));
            int cubics = 0;
            const QList<QLineF> paths = pathEnds(QFile(svg), &cubics);
            const RenderImplementation& renderer = *surface.renderer();
            const CurveControls& controls = *renderer.curveControls();
            QCOMPARE(paths.size(),
                     int(controls.curveCount()) * VectorPicture::bandsFor(controls.curveCount()));
            QVERIFY(cubics >= paths.size());

            const Camera& camera = *renderer.camera();
            const Matrix4 toClip = math::multiply(camera.projection, camera.view);
            auto pixel = [&](uint32_t vertex) {
                Vector3 p{};
                renderer.drawnVertexPosition(vertex, &p);
                const Vector4 c = math::transform(toClip, {p[0], p[1], p[2], 1.0f});
                return QPointF((c[0] / c[3] + 1) / 2 * surface.viewportWidth(),
                               (1 - c[1] / c[3]) / 2 * surface.viewportHeight());
            };
            QList<QPointF> starts, ends, pathStarts, pathFinishes;
            for (const uint32_t e : controls.order(renderer.viewType())) {
                const uint32_t* path = controls.paths().path(e);
                starts << pixel(path[0]);
                ends << pixel(path[controls.paths().length(e) - 1]);
            }
            for (const QLineF& p : paths) pathStarts << p.p1(), pathFinishes << p.p2();
            QCOMPARE(matched(starts, pathStarts), starts.size());
            QCOMPARE(matched(ends, pathFinishes), ends.size());
            // Spread over the picture, so that the matches above are not of points all in one.
            QRectF spread(starts.first(), QSizeF(0, 0));
            for (const QPointF& p : starts) spread |= QRectF(p, QSizeF(0.01, 0.01));
            QVERIFY(spread.intersects(
                        QRectF(0, 0, surface.viewportWidth(), surface.viewportHeight())) &&
                    spread.width() > 100 && spread.height() > 100);
            if (!flat) continue;

            // A picked vertex in the selection colour, its outgoing edges in orange and its
            // incoming ones in cyan, at their colour's own opacity.
            uint32_t picked = UINT32_MAX;
            for (const auto& [id, vertex] : g_graph->vertices())
                if (vertex->getName() == "GraphStore.h") picked = id;
            QVERIFY(surface.renderer()->selectVertexById(picked));
            surface.requestFrame();
            QVERIFY(waitForCurrentFrame(surface));
            QVERIFY2(VectorPicture(surface).save(svg, &error), qPrintable(error));
            QFile file(svg);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = file.readAll();
            for (const char* drawn :
                 {"stroke=\"#ffa500\" stroke-opacity=\"1\"",
                  "stroke=\"#00ffff\" stroke-opacity=\"1\"", "fill=\"#ff00ff\""})
                QVERIFY2(text.contains(drawn), drawn);
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(VectorPictureTest)
#include "VectorPictureTest.moc"
