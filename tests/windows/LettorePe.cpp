// SPDX-License-Identifier: GPL-3.0-or-later
#include "LettorePe.h"

#include <QtEndian>

namespace {

constexpr quint32 Sottodirettorio = 0x80000000;
constexpr int MassimoImportazioni = 4096;
// Three levels of a real table hold a few hundred entries; a directory whose entries lead
// back to itself would make a reader that follows them all run for ever.
constexpr int MassimoVoci = 100000;

bool Dentro(const QByteArray& b, qint64 at, qint64 byte)
{
    return at >= 0 && byte >= 0 && at <= b.size() && byte <= b.size() - at;
}

// Byte by byte: GCC's bounds warnings see through qFromLittleEndian's memcpy under the
// sanitizers and take every checked offset for a possible overflow.
quint16 U16(const QByteArray& b, qint64 at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

quint32 U32(const QByteArray& b, qint64 at)
{
    return U16(b, at) | quint32(U16(b, at + 2)) << 16;
}

} // namespace

QString LettorePe::Risorsa::Chiave() const
{
    return QStringLiteral("%1/%2/%3").arg(tipo.Testo(), nome.Testo()).arg(lingua);
}

LettorePe::LettorePe(const QByteArray& file)
    : m_file(file)
{
    if (!Leggi()) {
        m_sezioni.clear();
        m_importazioni.clear();
        m_risorse.clear();
    }
}

bool LettorePe::Errore(const QString& testo)
{
    m_errore = testo;
    return false;
}

int LettorePe::posizioneDirettorio(int indice) const
{
    return indice >= 0 && indice < m_numeroDirettori ? m_direttori + 8 * indice : 0;
}

bool LettorePe::Leggi()
{
    if (!Dentro(m_file, 0, 64) || !m_file.startsWith("MZ"))
        return Errore(QStringLiteral("not an executable: no MZ header"));
    const quint32 pe = U32(m_file, 0x3C);
    if (!Dentro(m_file, pe, 24))
        return Errore(QStringLiteral("the PE header lies past the end of the file"));
    if (m_file.mid(pe, 4) != QByteArray("PE\0\0", 4))
        return Errore(QStringLiteral("no PE signature"));
    m_macchina = U16(m_file, pe + 4);
    const int numeroSezioni = U16(m_file, pe + 6);
    const quint16 dimensioneOpzionale = U16(m_file, pe + 20);
    const qint64 opzionale = qint64(pe) + 24;
    if (!Dentro(m_file, opzionale, dimensioneOpzionale) || dimensioneOpzionale < 2)
        return Errore(QStringLiteral("the optional header lies past the end of the file"));

    const quint16 magia = U16(m_file, opzionale);
    if (magia != 0x20B && magia != 0x10B)
        return Errore(QStringLiteral("unknown optional header 0x%1").arg(magia, 0, 16));
    const int conteggio = magia == 0x20B ? 108 : 92;
    if (dimensioneOpzionale < conteggio + 4)
        return Errore(QStringLiteral("the optional header is too short"));
    m_sottosistema = U16(m_file, opzionale + 68);
    m_numeroDirettori = int(qMin<quint32>(U32(m_file, opzionale + conteggio), 16));
    m_direttori = int(opzionale) + conteggio + 4;
    if (m_direttori + 8 * m_numeroDirettori > opzionale + dimensioneOpzionale)
        return Errore(QStringLiteral("the data directories overrun the optional header"));

    const qint64 tabella = opzionale + dimensioneOpzionale;
    if (!Dentro(m_file, tabella, qint64(numeroSezioni) * 40))
        return Errore(QStringLiteral("the section table runs past the end of the file"));
    for (int i = 0; i < numeroSezioni; ++i) {
        const qint64 at = tabella + 40 * i;
        Sezione s;
        s.nome = QString::fromLatin1(m_file.mid(at, 8)).section(QChar(0), 0, 0);
        s.dimensioneVirtuale = U32(m_file, at + 8);
        s.indirizzo = U32(m_file, at + 12);
        s.dimensione = U32(m_file, at + 16);
        s.posizione = U32(m_file, at + 20);
        m_sezioni.append(s);
    }

    const auto direttorio = [this](int indice) {
        Direttorio d;
        if (indice < m_numeroDirettori) {
            d.indirizzo = U32(m_file, m_direttori + 8 * indice);
            d.dimensione = U32(m_file, m_direttori + 8 * indice + 4);
        }
        return d;
    };
    return LeggiImportazioni(direttorio(1)) && LeggiRisorse(direttorio(2));
}

qint64 LettorePe::Posizione(quint32 indirizzo, quint32 byte) const
{
    for (const Sezione& s : m_sezioni) {
        if (indirizzo < s.indirizzo)
            continue;
        const quint64 dentro = quint64(indirizzo) - s.indirizzo;
        if (dentro + byte > s.dimensione)
            continue;
        const qint64 at = qint64(s.posizione) + qint64(dentro);
        return Dentro(m_file, at, byte) ? at : -1;
    }
    return -1;
}

bool LettorePe::LeggiImportazioni(const Direttorio& d)
{
    if (d.indirizzo == 0)
        return true;
    for (int i = 0;; ++i) {
        if (i == MassimoImportazioni)
            return Errore(QStringLiteral("the import table never ends"));
        const qint64 voce = Posizione(d.indirizzo + 20 * quint32(i), 20);
        if (voce < 0)
            return Errore(QStringLiteral("the import table lies outside the file's sections"));
        if (m_file.mid(voce, 20).count('\0') == 20)
            return true;
        const quint32 nome = U32(m_file, voce + 12);
        QByteArray dll;
        for (quint32 n = 0;; ++n) {
            const qint64 at = Posizione(nome + n, 1);
            if (at < 0 || n == 256)
                return Errore(QStringLiteral("an imported DLL's name has no end"));
            if (m_file.at(at) == '\0')
                break;
            dll.append(m_file.at(at));
        }
        m_importazioni.append(QString::fromLatin1(dll));
    }
}

bool LettorePe::LeggiRisorse(const Direttorio& d)
{
    if (d.indirizzo == 0)
        return true;
    const qint64 at = Posizione(d.indirizzo, d.dimensione);
    if (at < 0)
        return Errore(QStringLiteral("the resource section lies outside the file"));
    return LeggiLivello(m_file.mid(at, d.dimensione), 0, 0, {});
}

bool LettorePe::LeggiNome(const QByteArray& sezione, quint32 voce, Identificatore& id)
{
    if (!(voce & Sottodirettorio)) {
        if (voce > 0xFFFF)
            return Errore(QStringLiteral("a resource number is wider than 16 bits"));
        id.numero = quint16(voce);
        return true;
    }
    const qint64 at = voce & ~Sottodirettorio;
    if (!Dentro(sezione, at, 2) || !Dentro(sezione, at + 2, 2 * qint64(U16(sezione, at))))
        return Errore(QStringLiteral("a resource name lies past the resource section"));
    for (int i = 0; i < U16(sezione, at); ++i)
        id.nome.append(QChar(U16(sezione, at + 2 + 2 * i)));
    if (id.nome.isEmpty())
        return Errore(QStringLiteral("a resource has an empty name"));
    return true;
}

// Level 0 holds the types, level 1 the names of one type, level 2 the languages of one name,
// whose entries lead to the data.
bool LettorePe::LeggiLivello(
    const QByteArray& sezione, quint32 inizio, int livello, Risorsa corrente)
{
    if (!Dentro(sezione, inizio, 16))
        return Errore(QStringLiteral("a resource directory lies past the resource section"));
    const int voci = U16(sezione, inizio + 12) + U16(sezione, inizio + 14);
    if (!Dentro(sezione, qint64(inizio) + 16, 8 * qint64(voci)))
        return Errore(QStringLiteral("a resource directory's entries run past the section"));
    for (int i = 0; i < voci; ++i) {
        if (++m_voci > MassimoVoci)
            return Errore(QStringLiteral("the resource directories hold too many entries"));
        const qint64 voce = qint64(inizio) + 16 + 8 * i;
        const quint32 nome = U32(sezione, voce);
        const quint32 bersaglio = U32(sezione, voce + 4);
        const bool sotto = bersaglio & Sottodirettorio;
        if (sotto != (livello < 2))
            return Errore(livello < 2
                    ? QStringLiteral("resource data where a directory should be")
                    : QStringLiteral("a resource directory nested deeper than three levels"));
        Risorsa r = corrente;
        if (livello == 0 && !LeggiNome(sezione, nome, r.tipo))
            return false;
        if (livello == 1 && !LeggiNome(sezione, nome, r.nome))
            return false;
        if (livello == 2) {
            if (nome > 0xFFFF)
                return Errore(QStringLiteral("a resource language is not a number"));
            r.lingua = quint16(nome);
        }
        if (sotto) {
            if (!LeggiLivello(sezione, bersaglio & ~Sottodirettorio, livello + 1, r))
                return false;
            continue;
        }
        if (!Dentro(sezione, bersaglio, 16))
            return Errore(QStringLiteral("a resource's data entry lies past the section"));
        const quint32 indirizzo = U32(sezione, bersaglio);
        const quint32 byte = U32(sezione, bersaglio + 4);
        const qint64 dati = Posizione(indirizzo, byte);
        if (dati < 0)
            return Errore(
                QStringLiteral("the data of resource %1 lie outside the file").arg(r.Chiave()));
        r.dati = m_file.mid(dati, byte);
        m_risorse.append(r);
    }
    return true;
}
