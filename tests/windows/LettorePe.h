// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads a Windows executable's headers, its imported DLLs and its resource section. Every
// field is checked against the file's bounds before it is read: a truncated or corrupt file
// gives errore() saying what is wrong and nothing else, never a read outside the bytes.
class LettorePe {
public:
    // A resource type or name: a number, or a name when nome is not empty.
    struct Identificatore {
        quint16 numero = 0;
        QString nome;

        QString Testo() const { return nome.isEmpty() ? QString::number(numero) : nome; }
        bool operator==(const Identificatore& altro) const
        {
            return numero == altro.numero && nome == altro.nome;
        }
    };

    struct Risorsa {
        Identificatore tipo;
        Identificatore nome;
        quint16 lingua = 0;
        QByteArray dati;

        // "type/name/language", as "2/101/1040" or "CUSTOM/101/1040".
        QString Chiave() const;
    };

    struct Sezione {
        QString nome;
        quint32 indirizzo = 0; // relative virtual address
        quint32 dimensioneVirtuale = 0;
        quint32 posizione = 0; // in the file
        quint32 dimensione = 0; // in the file
    };

    explicit LettorePe(const QByteArray& file);

    bool valido() const { return m_errore.isEmpty(); }
    QString errore() const { return m_errore; }

    quint16 macchina() const { return m_macchina; }
    quint16 sottosistema() const { return m_sottosistema; }
    const QList<Sezione>& sezioni() const { return m_sezioni; }
    // The file offset where the header of the given data directory entry (1 imports,
    // 2 resources) lies, for tests that damage it; 0 when there is none.
    int posizioneDirettorio(int indice) const;
    const QStringList& importazioni() const { return m_importazioni; }
    const QList<Risorsa>& risorse() const { return m_risorse; }

private:
    struct Direttorio {
        quint32 indirizzo = 0;
        quint32 dimensione = 0;
    };

    bool Leggi();
    bool LeggiImportazioni(const Direttorio& d);
    bool LeggiRisorse(const Direttorio& d);
    bool LeggiLivello(const QByteArray& sezione, quint32 inizio, int livello, Risorsa corrente);
    bool LeggiNome(const QByteArray& sezione, quint32 voce, Identificatore& id);
    // The file offset of count bytes at a relative virtual address, or -1 when they do not all
    // lie in one section's bytes in the file.
    qint64 Posizione(quint32 indirizzo, quint32 byte) const;
    bool Errore(const QString& testo);

    QByteArray m_file;
    QString m_errore;
    quint16 m_macchina = 0;
    quint16 m_sottosistema = 0;
    int m_direttori = 0; // file offset of the data directories
    int m_numeroDirettori = 0;
    int m_voci = 0; // resource directory entries read so far
    QList<Sezione> m_sezioni;
    QStringList m_importazioni;
    QList<Risorsa> m_risorse;
};
