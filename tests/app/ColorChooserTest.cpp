#include "ColorChooser.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

class ColorChooserTest : public QObject {
    Q_OBJECT

private slots:
    void listsEveryNamedColourInTheToolkitsOrder() {
        ColorChooser box;
        const QStringList names = QColor::colorNames();
        QCOMPARE(box.count(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(box.itemText(i), names[i]);
            QVERIFY(!box.itemData(i, Qt::UserRole).isValid());
            QCOMPARE(qvariant_cast<QColor>(box.itemData(i, Qt::DecorationRole)), QColor(names[i]));
        }
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(box.color(), QColor(names[0]));
    }

    void setColorPicksTheFirstItemOfThatColour() {
        ColorChooser box;
        const QStringList names = QColor::colorNames();
        box.setColor(QColor("gray"));
        // grey and gray share one value; whichever comes first in the list is chosen.
        const int grey = names.indexOf("grey"), gray = names.indexOf("gray");
        QCOMPARE(box.currentIndex(), std::min(grey, gray));
        QCOMPARE(box.color(), QColor(128, 128, 128));
        box.setColor(QColor(1, 2, 3));
        QCOMPARE(box.currentIndex(), -1);
        QVERIFY(!box.color().isValid());
    }

    void userPropertyIsTheColour() {
        ColorChooser box;
        const QMetaProperty property = box.metaObject()->userProperty();
        QCOMPARE(QByteArray(property.name()), QByteArray("color"));
        property.write(&box, QColor("red"));
        QCOMPARE(box.currentText(), QString("red"));
    }
};

QTEST_MAIN(ColorChooserTest)
#include "ColorChooserTest.moc"
