// A seeded monkey at the keyboard and mouse: random user actions on the main window, with the fuzz
// corpora's files opened in between. Nothing may crash or hang (the test's time limit ends one that
// does), the controls must keep showing the render states and the surface keep handing out frames
// of its size. RAMIFLEX_MONKEY_SEED and RAMIFLEX_MONKEY_ACTIONS override the seed and the
// number of actions.
#include "AppTestSupport.h"
#include "GraphStore.h"

#include <QDirIterator>
#include <QtTest>

#include <random>

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomUserActionsNeitherCrashNorHang() {
        m_random.seed(qEnvironmentVariable("RAMIFLEX_MONKEY_SEED", "20240611").toULongLong());
        const int count = qEnvironmentVariable("RAMIFLEX_MONKEY_ACTIONS", "600").toInt();
        QStringList files = {kData + "missing.xml", kData + "ramiflex.rsf"};
        for (QDirIterator it(kCorpus, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next();
        files.sort();  // the same order on every machine, for the seed to replay the run

        g_renderStates = RenderStates();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        OpenGLWidget* s = w.openGLWidget;
        QVERIFY(w.openFile(kData + "ramiflex.xml"));
        auto point = [&] { return QPointF(below(1300) - 150, below(1000) - 120); };
        const Qt::KeyboardModifiers modifiers[] = {{}, Qt::AltModifier, Qt::ShiftModifier};
        const Qt::MouseButtons buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton,
                                            Qt::LeftButton | Qt::RightButton};
        const int keys[] = {Qt::Key_W, Qt::Key_A, Qt::Key_S,    Qt::Key_D,
                            Qt::Key_R, Qt::Key_F, Qt::Key_Home, Qt::Key_Q};
        // Opened or refused, the graph shown is the one drawn.
        auto open = [&] {
            w.openFile(files[below(files.size())]);
            QCOMPARE(g_graph, w.graph());
        };
        // Any control the user can reach now: on the current page and enabled.
        auto useAControl = [&] {
            QList<QWidget*> controls = w.findChildren<QWidget*>();
            controls.removeIf([](QWidget* c) {
                auto* box = qobject_cast<QGroupBox*>(c);
                return !c->isVisible() || !c->isEnabled() ||
                       !(qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c) ||
                         qobject_cast<QSlider*>(c) || qobject_cast<ColorChooser*>(c) ||
                         (box && box->isCheckable()));
            });
            QWidget* control = controls[below(controls.size())];
            if (auto* button = qobject_cast<QAbstractButton*>(control)) button->click();
            if (auto* box = qobject_cast<QGroupBox*>(control)) {
                box->setChecked(!box->isChecked());
                emit box->clicked(box->isChecked());
            }
            if (auto* chooser = qobject_cast<ColorChooser*>(control)) {
                chooser->setCurrentIndex(below(chooser->count()));
                emit chooser->textActivated(chooser->currentText());
            }
            if (auto* slider = qobject_cast<QSlider*>(control)) {
                slider->setSliderDown(true);
                slider->setSliderPosition(slider->minimum() +
                                          below(slider->maximum() - slider->minimum() + 1));
                slider->setSliderDown(below(2));  // sometimes left held
                slider->triggerAction(QSlider::SliderAction(below(8)));
            }
        };
        // clang-format off
        const std::function<void()> actions[] = {
            useAControl, useAControl, useAControl, open,
            [&] { w.tabWidget->setCurrentIndex(below(w.tabWidget->count())); },
            [&] { sendDrag(s, {point(), point(), point()}, buttons[below(4)], modifiers[below(3)]); },
            [&] { sendDrag(s, {point(), point()}, Qt::LeftButton, modifiers[below(2)]); },
            [&] { sendKey(s, keys[below(8)], modifiers[below(3)]); },
            [&] { sendWheel(s, point(), below(721) - 360); },
            [&] {  // open while dragging
                sendMouse(s, QEvent::MouseButtonPress, point(), Qt::LeftButton, Qt::LeftButton);
                open();
                sendMouse(s, QEvent::MouseButtonRelease, point(), Qt::LeftButton, Qt::NoButton);
            },
            [&] { QCOMPARE(s->grabFramebuffer().size(), s->size() * s->devicePixelRatio()); },
        };
        // clang-format on
        for (int i = 0; i < count; ++i) {
            const int action = below(std::size(actions));
            actions[action]();
            const QString what = QString("action %1 (kind %2)").arg(i).arg(action);
            QVERIFY2(!QTest::currentTestFailed(), qPrintable(what));
            QVERIFY2(disagreements(w).isEmpty(),
                     qPrintable(what + ": " + disagreements(w).join(", ")));
            // Some changes meet in one frame, some get one each.
            if (below(3) == 0) QVERIFY2(waitForCurrentFrame(*s), qPrintable(what));
        }
    }

private:
    int below(qsizetype n) { return n <= 1 ? 0 : static_cast<int>(m_random() % quint64(n)); }

    std::mt19937_64 m_random;
};

QTEST_MAIN(MonkeyTest)
#include "MonkeyTest.moc"
