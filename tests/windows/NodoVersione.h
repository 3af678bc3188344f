// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A node of a Windows version record: a key, a value (text or bytes) and the nodes it holds.
// Read with every length checked against the node that holds it, so a record that lies about
// its lengths gives an error, never a read past its bytes.
class NodoVersione {
public:
    // The record's root node, or an invalid node with errore set.
    static NodoVersione Leggi(const QByteArray& record);

    bool valido() const { return errore.isEmpty(); }
    QStringList Chiavi() const;
    // The child with that key, or an invalid node.
    NodoVersione Figlio(const QString& chiave) const;
    // A text value without its terminator.
    QString Testo() const;

    QString errore;
    int lunghezza = 0; // bytes, with the nodes it holds
    int lunghezzaValore = 0; // characters for text, bytes otherwise
    quint16 tipo = 0; // 1: text
    QString chiave;
    QByteArray valore;
    QList<NodoVersione> figli;

private:
    static NodoVersione Leggi(const QByteArray& b, int inizio, int fine, int profondita);
};
