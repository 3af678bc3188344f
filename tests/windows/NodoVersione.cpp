// SPDX-License-Identifier: GPL-3.0-or-later
#include "NodoVersione.h"

#include <QtEndian>

namespace {

// Root, string block, table, string: real records are four deep.
constexpr int MassimaProfondita = 6;

int Allinea(int at)
{
    return (at + 3) & ~3;
}

// Byte by byte, as in LettorePe.cpp, for GCC's bounds warnings under the sanitizers.
quint16 U16(const QByteArray& b, int at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

NodoVersione Invalido(const QString& errore)
{
    NodoVersione n;
    n.errore = errore;
    return n;
}

} // namespace

NodoVersione NodoVersione::Leggi(const QByteArray& record)
{
    return Leggi(record, 0, int(record.size()), 0);
}

NodoVersione NodoVersione::Leggi(const QByteArray& b, int inizio, int fine, int profondita)
{
    if (profondita > MassimaProfondita)
        return Invalido(QStringLiteral("nodes nested too deep"));
    if (inizio + 6 > fine)
        return Invalido(QStringLiteral("a node's header runs past its container"));
    NodoVersione n;
    n.lunghezza = U16(b, inizio);
    n.lunghezzaValore = U16(b, inizio + 2);
    n.tipo = U16(b, inizio + 4);
    if (n.lunghezza < 6 || n.lunghezza > fine - inizio)
        return Invalido(QStringLiteral("a node's length %1 does not fit its container of %2")
                            .arg(n.lunghezza)
                            .arg(fine - inizio));
    if (n.tipo > 1)
        return Invalido(QStringLiteral("a node of type %1").arg(n.tipo));
    const int termine = inizio + n.lunghezza;

    int p = inizio + 6;
    for (;; p += 2) {
        if (p + 2 > termine)
            return Invalido(QStringLiteral("a key has no terminator"));
        if (!U16(b, p))
            break;
        n.chiave.append(QChar(U16(b, p)));
    }
    p = Allinea(p + 2);
    const int byteValore = n.lunghezzaValore * (n.tipo == 1 ? 2 : 1);
    if (byteValore && p + byteValore > termine)
        return Invalido(QStringLiteral("the value of %1 runs past its node").arg(n.chiave));
    n.valore = b.mid(p, byteValore);
    if (n.tipo == 1 && byteValore && U16(n.valore, byteValore - 2))
        return Invalido(QStringLiteral("the text of %1 has no terminator").arg(n.chiave));

    for (p = Allinea(p + byteValore); p < termine;) {
        NodoVersione figlio = Leggi(b, p, termine, profondita + 1);
        if (!figlio.valido())
            return Invalido(n.chiave + QStringLiteral(": ") + figlio.errore);
        p = Allinea(p + figlio.lunghezza);
        n.figli.append(figlio);
    }
    return n;
}

QStringList NodoVersione::Chiavi() const
{
    QStringList chiavi;
    for (const NodoVersione& f : figli)
        chiavi.append(f.chiave);
    return chiavi;
}

NodoVersione NodoVersione::Figlio(const QString& chiave) const
{
    for (const NodoVersione& f : figli)
        if (f.chiave == chiave)
            return f;
    return Invalido(QStringLiteral("no node %1 in %2").arg(chiave, this->chiave));
}

QString NodoVersione::Testo() const
{
    if (tipo != 1 || valore.size() < 2)
        return {};
    return QString::fromUtf16(
        reinterpret_cast<const char16_t*>(valore.constData()), valore.size() / 2 - 1);
}
