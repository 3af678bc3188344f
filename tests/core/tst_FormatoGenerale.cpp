// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormatoGenerale.h"

#include <QtTest>

class tst_FormatoGenerale : public QObject {
    Q_OBJECT

private slots:
    void formato_data();
    void formato();
};

void tst_FormatoGenerale::formato_data()
{
    QTest::addColumn<double>("valore");
    QTest::addColumn<QString>("separatore");
    QTest::addColumn<QString>("testo");

    QTest::newRow("a whole number has no separator") << 1.0 << ","
                                                     << "1";
    QTest::newRow("mercury with a comma") << 13.6 << ","
                                          << "13,6";
    QTest::newRow("wood keeps its leading zero") << 0.45 << ","
                                                 << "0,45";
    QTest::newRow("iron with a point") << 7.86 << "."
                                       << "7.86";
    QTest::newRow("petrol with a point") << 0.73 << "."
                                         << "0.73";
    QTest::newRow("zero before any choice") << 0.0 << ","
                                            << "0";
    QTest::newRow("a separator of two bytes") << 0.9 << "٫"
                                              << "0٫9";
    QTest::newRow("no digit grouping") << 1234567.5 << ","
                                       << "1234567,5";
    QTest::newRow("rounded to 15 significant digits") << 0.1 + 0.2 << ","
                                                      << "0,3";
    QTest::newRow("a sixteenth digit is rounded away") << 1.0000000000000002 << ","
                                                       << "1";
    QTest::newRow("fifteen digits are kept") << 1.23456789012345 << ","
                                             << "1,23456789012345";
}

void tst_FormatoGenerale::formato()
{
    QFETCH(double, valore);
    QFETCH(QString, separatore);
    QFETCH(QString, testo);

    QCOMPARE(QString::fromStdString(FormatoGenerale(valore, separatore.toStdString())), testo);
}

QTEST_APPLESS_MAIN(tst_FormatoGenerale)
#include "tst_FormatoGenerale.moc"
