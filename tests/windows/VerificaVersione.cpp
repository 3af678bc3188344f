// SPDX-License-Identifier: GPL-3.0-or-later
#include "VerificaVersione.h"

#include "NodoVersione.h"

#include <QtEndian>
#include <QtTest>

void VerificaVersione(const QByteArray& record, const QString& azienda)
{
    const NodoVersione radice = NodoVersione::Leggi(record);
    QVERIFY2(radice.valido(), qPrintable(radice.errore));
    QCOMPARE(radice.lunghezza, record.size());
    QCOMPARE(radice.chiave, QStringLiteral("VS_VERSION_INFO"));
    QCOMPARE(radice.tipo, quint16(0));

    const QByteArray& f = radice.valore;
    QCOMPARE(f.size(), 52);
    struct Campo {
        const char* nome;
        quint32 valore;
    };
    const Campo fissa[] = {
        { "signature", 0xFEEF04BD },
        { "structure version 1.0", 0x00010000 },
        { "file version 1.0", 0x00010000 },
        { "file version .0.0", 0 },
        { "product version 1.0", 0x00010000 },
        { "product version .0.0", 0 },
        { "flags mask", 0 },
        { "flags", 0 },
        { "32-bit Windows", 4 },
        { "an application", 1 },
        { "no subtype", 0 },
        { "date, high part", 0 },
        { "date, low part", 0 },
    };
    for (int i = 0; i < 13; ++i)
        QVERIFY2(
            qFromLittleEndian<quint32>(f.constData() + 4 * i) == fissa[i].valore, fissa[i].nome);

    QCOMPARE(radice.Chiavi(), (QStringList { "VarFileInfo", "StringFileInfo" }));
    const NodoVersione varie = radice.figli[0];
    QCOMPARE(varie.Chiavi(), QStringList { "Translation" });
    const NodoVersione traduzione = varie.figli[0];
    QCOMPARE(traduzione.tipo, quint16(0));
    QCOMPARE(traduzione.valore.size(), 4);
    QCOMPARE(qFromLittleEndian<quint16>(traduzione.valore.constData()), quint16(0x0410));
    QCOMPARE(qFromLittleEndian<quint16>(traduzione.valore.constData() + 2), quint16(0x04B0));

    const NodoVersione stringhe = radice.figli[1];
    QCOMPARE(stringhe.Chiavi(), QStringList { "041004B0" });
    const NodoVersione tavola = stringhe.figli[0];
    const QStringList chiavi = { "CompanyName", "ProductName", "FileVersion", "ProductVersion",
        "InternalName", "OriginalFilename" };
    const QStringList valori = { azienda, "Idrovela", "1.00", "1.00", "Idrovela", "Idrovela.exe" };
    QCOMPARE(tavola.Chiavi(), chiavi);
    for (int i = 0; i < chiavi.size(); ++i) {
        const NodoVersione& s = tavola.figli[i];
        QVERIFY2(s.tipo == 1, qPrintable(s.chiave));
        // Counted in characters, the terminator included.
        QVERIFY2(s.lunghezzaValore == valori[i].size() + 1, qPrintable(s.chiave));
        QCOMPARE(s.Testo(), valori[i]);
    }
}
