// SPDX-License-Identifier: GPL-3.0-or-later
#include "Riquadro.h"

#include <QtTest>

// A frame makes room above its children for its caption, in the caption's font, even when
// that font was given while the frame was hidden.
class tst_Riquadro : public QObject {
    Q_OBJECT

private slots:
    void spazioPerLaCaption_data();
    void spazioPerLaCaption();
};

void tst_Riquadro::spazioPerLaCaption_data()
{
    QTest::addColumn<bool>("nascosto");

    QTest::newRow("a font given while shown") << false;
    QTest::newRow("a font given while hidden, then shown") << true;
}

void tst_Riquadro::spazioPerLaCaption()
{
    QFETCH(bool, nascosto);

    QFont grande = QApplication::font();
    grande.setPointSizeF(28);
    grande.setBold(true);

    // The room a frame makes for a caption in each font, measured on frames always shown.
    const auto margine = [](const QFont& font) {
        QWidget finestra;
        Riquadro riferimento(QStringLiteral("Idrovela"), &finestra);
        finestra.show();
        riferimento.setFont(font);
        return riferimento.contentsMargins().top();
    };
    const int piccolo = margine(QApplication::font());
    const int largo = margine(grande);
    QVERIFY(largo > piccolo); // else the check below could not tell the fonts apart

    QWidget finestra;
    Riquadro riquadro(QStringLiteral("Idrovela"), &finestra);
    if (nascosto)
        riquadro.hide();
    finestra.show();
    riquadro.setFont(grande);
    riquadro.show();
    QCOMPARE(riquadro.contentsMargins().top(), largo);
}

QTEST_MAIN(tst_Riquadro)
#include "tst_Riquadro.moc"
