#include "ColorChooser.h"
#include "GraphLoader.h"
#include "GraphStore.h"
#include "MainWindow.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "VertexFinder.h"
#include "VertexMatchModel.h"

#include <QAbstractItemView>
#include <QCompleter>

#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");

// Moves a slider as a user drag does: sliderMoved while held, sliderReleased at the end.
void drag(QSlider* slider, int value, bool release = true) {
    slider->setSliderDown(true);
    slider->setSliderPosition(value);
    if (release) slider->setSliderDown(false);
}

void expectColor(const float* actual, float r, float g, float b, float a) {
    QCOMPARE(actual[0], r);
    QCOMPARE(actual[1], g);
    QCOMPARE(actual[2], b);
    QCOMPARE(actual[3], a);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        QSignalSpy frames(m_window->openGLWidget, &QOpenGLWidget::frameSwapped);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(frames.count() > 0);
    }

    void cleanup() { m_window.reset(); }

    void startsWithTheRenderStatesStartValues() {
        // The surface's set-up shows the balloon tree first and switches shadows on.
        QCOMPARE(g_renderStates.viewType, 1);
        QVERIFY(g_renderStates.shadow);
        QCOMPARE(g_renderStates.drawMask, 7);
        QVERIFY(m_window->rb_ballontree->isChecked());
        QVERIFY(!m_window->checkBox_8->isEnabled());
        QVERIFY(m_window->groupBox_7->isEnabled());
        QCOMPARE(m_window->horizontalSlider_7->value(), 500);
        QCOMPARE(m_window->windowTitle(), QString("Ramiflex"));
        QCOMPARE(m_window->openGLWidget->size(), QSize(1024, 768));
    }

    void layoutButtonsChooseTheViewAndEnableTheirControls() {
        MainWindow& w = *m_window;
        w.rb_rootedtree->click();
        QCOMPARE(g_renderStates.viewType, 0);
        QVERIFY(!w.checkBox_8->isEnabled());
        QVERIFY(!w.groupBox_7->isEnabled());

        w.rb_treemap->click();
        QCOMPARE(g_renderStates.viewType, 2);
        QVERIFY(w.checkBox_8->isEnabled());
        QVERIFY(w.groupBox_7->isEnabled());
        w.radioButton_10->click();  // Strips
        QCOMPARE(g_renderStates.viewType, 3);
        QCOMPARE(g_renderStates.stripTreemap, 1);

        w.radioButton_11->click();  // Radial Tree leaves the grid box and the group alone
        QCOMPARE(g_renderStates.viewType, 4);
        QVERIFY(w.checkBox_8->isEnabled());
        QVERIFY(w.groupBox_7->isEnabled());

        w.rb_treemap->click();  // the treemap type chosen before comes back
        QCOMPARE(g_renderStates.viewType, 3);
        w.radioButton_9->click();  // Slice and Dice switches the view at once
        QCOMPARE(g_renderStates.viewType, 2);

        w.rb_ballontree->click();
        QCOMPARE(g_renderStates.viewType, 1);
        QVERIFY(w.checkBox_8->isEnabled());
        QVERIFY(!w.groupBox_7->isEnabled());
        // Clicking the selected balloon button again calls its slot again.
        g_renderStates.viewType = 3;
        w.rb_ballontree->click();
        QCOMPARE(g_renderStates.viewType, 1);
    }

    void drawSwitchesAddAndSubtractTheirBits() {
        MainWindow& w = *m_window;
        w.checkBox_2->click();
        QCOMPARE(g_renderStates.drawMask, 6);
        w.checkBox_7->click();
        QCOMPARE(g_renderStates.drawMask, 2);
        w.checkBox_6->click();
        QCOMPARE(g_renderStates.drawMask, 0);
        w.rb_treemap->click();
        w.checkBox_8->click();
        QCOMPARE(g_renderStates.drawMask, 8);
        w.checkBox_2->click();
        QCOMPARE(g_renderStates.drawMask, 9);
        w.checkBox->click();
        QVERIFY(!g_renderStates.mode3D);
        w.checkBox_9->click();
        QVERIFY(g_renderStates.cushion);
    }

    void betaTakesEffectWhenTheSliderIsReleased() {
        drag(m_window->horizontalSlider_7, 800, false);
        QCOMPARE(g_renderStates.beta, 0.5f);
        m_window->horizontalSlider_7->setSliderDown(false);
        QCOMPARE(g_renderStates.beta, 0.8f);
    }

    void transformSlidersWriteTheirFields() {
        MainWindow& w = *m_window;
        drag(w.horizontalSlider, -90);
        drag(w.horizontalSlider_2, 45);
        drag(w.horizontalSlider_3, 180);
        drag(w.horizontalSlider_4, 77);
        QCOMPARE(g_renderStates.rotationX, -90);
        QCOMPARE(g_renderStates.rotationY, 45);
        QCOMPARE(g_renderStates.rotationZ, 180);
        QCOMPARE(g_renderStates.scale, 77);
    }

    void renderingControlsWriteTheirFields() {
        MainWindow& w = *m_window;
        const std::pair<QRadioButton*, int> methods[] = {{w.radioButton_2, 1},
                                                         {w.radioButton_6, 2},
                                                         {w.radioButton_7, 3},
                                                         {w.radioButton_8, 4},
                                                         {w.radioButton, 0}};
        for (auto [button, method] : methods) {
            button->click();
            QCOMPARE(g_renderStates.blendMethod, method);
        }
        w.groupBox_4->setChecked(false);
        QVERIFY(!g_renderStates.blending);

        w.radioButton_3->click();
        QCOMPARE(g_renderStates.lightType, 2);
        w.radioButton_4->click();
        QCOMPARE(g_renderStates.lightType, 1);
        w.radioButton_5->click();
        QCOMPARE(g_renderStates.lightType, 0);
        drag(w.horizontalSlider_5, 40);
        drag(w.horizontalSlider_6, 10);
        QCOMPARE(g_renderStates.lightRadius, 40);
        QCOMPARE(g_renderStates.lightAttenuation, 10);
        // The lighting group listens to clicks on its box, not to programmatic toggles.
        w.groupBox_2->setChecked(false);
        QVERIFY(g_renderStates.lighting);
        emit w.groupBox_2->clicked(false);
        QVERIFY(!g_renderStates.lighting);

        w.checkBox_3->click();
        w.checkBox_5->click();
        QCOMPARE(g_renderStates.shadowMask, 5);
        w.checkBox_3->click();
        w.checkBox_10->click();
        w.checkBox_4->click();
        QCOMPARE(g_renderStates.shadowMask, 14);
        w.groupBox->setChecked(false);
        QVERIFY(!g_renderStates.shadow);

        w.horizontalSlider_8->setValue(150);
        QCOMPARE(g_renderStates.relationStartColor[3], 1.5f);
        QCOMPARE(g_renderStates.relationEndColor[3], 1.5f);
    }

    void colourBoxesWriteTheirColours() {
        MainWindow& w = *m_window;
        emit w.cb_color->textActivated("red");
        expectColor(g_renderStates.vertexColor, 1, 0, 0, 1);
        emit w.cb_hierarchyColor->textActivated("blue");
        expectColor(g_renderStates.hierarchyColor, 0, 0, 1, 1);
        w.horizontalSlider_8->setValue(40);
        emit w.cb_relationStartColor->textActivated("green");
        expectColor(g_renderStates.relationStartColor, 0, 128 / 255.0f, 0, 0.4f);
        emit w.cb_relationEndColor->textActivated("white");
        expectColor(g_renderStates.relationEndColor, 1, 1, 1, 0.4f);
        emit w.cb_selectionColor->textActivated("yellow");
        expectColor(g_renderStates.selectionColor, 1, 1, 0, 1);
    }

    void opensBothFormatsAndKeepsTheGraphOnABadFile() {
        MainWindow& w = *m_window;
        QString error;
        QVERIFY2(w.openFile(kData + "tiny.xml", &error), qPrintable(error));
        GraphStore* first = w.graph();
        QCOMPARE(first->vertexCount(), size_t(4));
        QCOMPARE(g_graph, first);
        QVERIFY(w.view(4) != nullptr);

        QVERIFY2(w.openFile(kData + "tiny.rsf", &error), qPrintable(error));
        QVERIFY(w.graph() != first);
        QCOMPARE(w.graph()->relationEdgeCount(), size_t(2));
        GraphStore* second = w.graph();
        View* radial = w.view(4);

        const QString bad = QDir::temp().filePath("ramiflex_bad_graph.rsf");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"H\" \"0\" \"root\"\n\"PCR\" \"0\" \"7\"\n");
        file.close();
        QVERIFY(!w.openFile(bad, &error));
        QVERIFY2(error.contains("ramiflex_bad_graph.rsf") && error.contains("line 2"),
                 qPrintable(error));
        QCOMPARE(w.graph(), second);
        QCOMPARE(g_graph, second);
        QCOMPARE(w.view(4), radial);
        QTest::qWait(100);  // frames keep drawing the kept graph
    }

    void failedOpenAtStartUpShowsAMessageNamingTheFile() {
        QString shown;
        QTimer::singleShot(300, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        QVERIFY(m_window->startFromCommandLine({"ramiflex", kData + "missing.xml"}));
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 5000);
        QVERIFY2(shown.contains("missing.xml"), qPrintable(shown));
        QCOMPARE(m_window->graph(), nullptr);
    }

    void findsVerticesByNameAndColoursTheirEdges() {
        MainWindow& w = *m_window;
        auto* finder = w.findChild<VertexFinder*>();
        QVERIFY(finder);
        const RenderImplementation& renderer = *w.openGLWidget->renderer();
        auto selectedId = [&]() -> int {
            const Selection& s = renderer.selection();
            return s.m_type == Selection::VERTEX ? int(s.m_vertex->getId()) : -1;
        };
        auto rows = [&] {
            QStringList texts;
            for (int r = 0; r < finder->matches()->rowCount(); ++r) {
                texts << finder->matches()->index(r).data().toString();
            }
            return texts;
        };
        QString error;
        QVERIFY2(w.openFile(kData + "tiny.xml", &error), qPrintable(error));
        QSignalSpy chosen(finder, &VertexFinder::vertexChosen);

        // Ctrl+F reaches the field from the drawing surface.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.openGLWidget->setFocus();
        QTRY_VERIFY(w.openGLWidget->hasFocus());
        QTest::keyClick(w.openGLWidget, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(finder->hasFocus());

        // Completion while typing: names starting with the text, then those containing it.
        QTest::keyClicks(finder, "LE");
        QCOMPARE(rows(), QStringList({"leaf (3)", "left (1)"}));
        QTRY_VERIFY(finder->completer()->popup()->isVisible());
        QCOMPARE(finder->text(), QString("LE"));
        finder->clear();
        QTest::keyClicks(finder, "f");
        QCOMPARE(rows(), QStringList({"leaf (3)", "left (1)"}));
        finder->clear();
        QTest::keyClicks(finder, "r");
        QCOMPARE(rows(), QStringList({"right (2)", "root (0)"}));

        // Picking a listed row selects that vertex and colours its edges.
        QAbstractItemView* popup = finder->completer()->popup();
        QTRY_VERIFY(popup->isVisible());
        popup->setCurrentIndex(finder->completer()->completionModel()->index(0, 0));
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(selectedId(), 2);
        QCOMPARE(renderer.overlayLine(3), std::string("In: 2  Out: 0"));

        // Enter on a whole name, in any case, chooses it; on text several names fit, lists them.
        const std::pair<QString, int> typed[] = {{"left", 1},      {"ROOT", 0}, {"lea", 3},
                                                 {"right (2)", 2}, {"e", -1},   {"xyz", -1}};
        for (const auto& [text, id] : typed) {
            chosen.clear();
            finder->clear();
            QTest::keyClicks(finder, text);
            finder->completer()->popup()->hide();
            QTest::keyClick(finder, Qt::Key_Return);
            QCOMPARE(chosen.count(), id >= 0 ? 1 : 0);
            if (id >= 0) {
                QCOMPARE(chosen.at(0).at(0).value<uint32_t>(), uint32_t(id));
                QCOMPARE(selectedId(), id);
            }
        }
        QCOMPARE(rows(), QStringList());  // "xyz" fits nothing
        finder->setText("e");
        QVERIFY(!finder->findText());
        QCOMPARE(rows(), QStringList({"leaf (3)", "left (1)"}));
        QCOMPARE(selectedId(), 2);  // listing chose nothing

        // The edge colours: two more boxes on the colour panel, starting on the render states'
        // colours and writing them.
        auto* outgoing = w.findChild<ColorChooser*>("cb_outgoingEdgeColor");
        auto* incoming = w.findChild<ColorChooser*>("cb_incomingEdgeColor");
        QVERIFY(outgoing && incoming);
        QCOMPARE(outgoing->currentText(), QString("orange"));
        QCOMPARE(incoming->currentText(), QString("cyan"));
        const float* startColors[] = {g_renderStates.outgoingEdgeColor,
                                      g_renderStates.incomingEdgeColor};
        for (int k = 0; k < 2; ++k) {
            const QColor shown = (k == 0 ? outgoing : incoming)->color();
            expectColor(startColors[k], shown.red() / 255.0f, shown.green() / 255.0f,
                        shown.blue() / 255.0f, 1);
        }
        QWidget* colorGroup = w.cb_selectionColor->parentWidget();
        for (ColorChooser* box : {outgoing, incoming}) {
            QCOMPARE(box->parentWidget(), colorGroup);
            QVERIFY(!box->isHidden());
            QVERIFY(colorGroup->layout()->indexOf(box) >= 0);
        }
        emit outgoing->textActivated("green");
        expectColor(g_renderStates.outgoingEdgeColor, 0, 128 / 255.0f, 0, 1);
        emit incoming->textActivated("magenta");
        expectColor(g_renderStates.incomingEdgeColor, 1, 0, 1, 1);

        // A new graph is searched afresh.
        QVERIFY2(w.openFile(kData + "tiny.rsf", &error), qPrintable(error));
        finder->clear();
        QTest::keyClicks(finder, "zzz");
        QCOMPARE(rows(), QStringList());
    }

    void overlayLinesStopAtThePicturesRightEdge() {
        // Glyphs of size 0.75 advance 5.55 units: from x = 5, 184 of them reach 1024.
        const std::string name = "Name: " + std::string(GraphLoader::kMaxNameBytes, 'n');
        const std::string shown = RenderImplementation::visibleText(name, 5, 0.75f);
        QCOMPARE(shown.size(), size_t(184));
        QCOMPARE(shown, name.substr(0, 184));
        QCOMPARE(RenderImplementation::visibleText("Type: Vertex", 5, 0.75f),
                 std::string("Type: Vertex"));
        QCOMPARE(RenderImplementation::visibleText("12345", 960, 1.8f), std::string("12345"));
        QCOMPARE(RenderImplementation::visibleText("1234567", 960, 1.8f), std::string("12345"));
    }

private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
