// SPDX-License-Identifier: GPL-3.0-or-later
#include "Versione.h"

#include <QList>
#include <QtEndian>

namespace {

void Parola(QByteArray& b, quint16 valore)
{
    b.append(char(valore & 0xFF));
    b.append(char(valore >> 8));
}

void Doppia(QByteArray& b, quint32 valore)
{
    Parola(b, quint16(valore & 0xFFFF));
    Parola(b, quint16(valore >> 16));
}

void Allinea(QByteArray& b)
{
    while (b.size() % 4)
        b.append('\0');
}

QByteArray Utf16(const QString& testo)
{
    QByteArray b;
    for (QChar c : testo)
        Parola(b, c.unicode());
    Parola(b, 0);
    return b;
}

// A node; lunghezzaValore counts bytes for binary values and characters for text. Empty when
// a length no longer fits its 16 bits.
QByteArray Nodo(const QString& chiave, bool testo, const QByteArray& valore,
    const QList<QByteArray>& figli = {})
{
    QByteArray b(6, '\0');
    b += Utf16(chiave);
    Allinea(b);
    b += valore;
    for (const QByteArray& figlio : figli) {
        if (figlio.isEmpty())
            return {};
        Allinea(b);
        b += figlio;
    }
    if (!figli.isEmpty())
        Allinea(b);
    const qsizetype lunghezzaValore = testo ? valore.size() / 2 : valore.size();
    if (b.size() > 0xFFFF)
        return {};
    qToLittleEndian(quint16(b.size()), b.data());
    qToLittleEndian(quint16(lunghezzaValore), b.data() + 2);
    qToLittleEndian(quint16(testo ? 1 : 0), b.data() + 4);
    return b;
}

QByteArray Stringa(const QString& chiave, const QString& valore)
{
    return Nodo(chiave, true, Utf16(valore));
}

} // namespace

QByteArray RecordVersione(const QString& azienda)
{
    QByteArray fissa;
    for (quint32 campo : {
             0xFEEF04BDu, // signature
             0x00010000u, // structure version 1.0
             0x00010000u, 0x00000000u, // file version 1.0.0.0
             0x00010000u, 0x00000000u, // product version 1.0.0.0
             0u, 0u, // flags mask, flags
             4u, // 32-bit Windows
             1u, 0u, // an application, no subtype
             0u, 0u, // no date
         })
        Doppia(fissa, campo);

    QByteArray traduzione;
    Parola(traduzione, 0x0410); // Italian
    Parola(traduzione, 0x04B0); // UTF-16

    const QByteArray varie = Nodo(QStringLiteral("VarFileInfo"), true, {},
        { Nodo(QStringLiteral("Translation"), false, traduzione) });
    const QByteArray tavola = Nodo(QStringLiteral("041004B0"), true, {},
        {
            Stringa(QStringLiteral("CompanyName"), azienda),
            Stringa(QStringLiteral("ProductName"), QStringLiteral("Idrovela")),
            Stringa(QStringLiteral("FileVersion"), QStringLiteral("1.00")),
            Stringa(QStringLiteral("ProductVersion"), QStringLiteral("1.00")),
            Stringa(QStringLiteral("InternalName"), QStringLiteral("Idrovela")),
            Stringa(QStringLiteral("OriginalFilename"), QStringLiteral("Idrovela.exe")),
        });
    const QByteArray stringhe = Nodo(QStringLiteral("StringFileInfo"), true, {}, { tavola });
    return Nodo(QStringLiteral("VS_VERSION_INFO"), false, fissa, { varie, stringhe });
}
