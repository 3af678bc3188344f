// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registrazione.h"

#include <QDeadlineTimer>
#include <QtEndian>

Registrazione::Registrazione(QString monitor)
    : m_monitor(std::move(monitor))
{
}

Registrazione::~Registrazione()
{
    if (m_parec.state() != QProcess::NotRunning) {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }
}

void Registrazione::Leggi()
{
    m_dati += m_parec.readAllStandardOutput();
}

bool Registrazione::Avvia()
{
    m_parec.start(QStringLiteral("parec"),
        { QStringLiteral("--device=") + m_monitor, QStringLiteral("--format=s16le"),
            QStringLiteral("--rate=%1").arg(Frequenza), QStringLiteral("--channels=1"),
            QStringLiteral("--latency-msec=10") });
    if (!m_parec.waitForStarted(5000)) {
        m_errore = QStringLiteral("parec does not start: ") + m_parec.errorString();
        return false;
    }
    // A sink that was idle first hands over one long block; the recording is steady once
    // a tenth of a second has come in after it.
    const QDeadlineTimer scadenza(5000);
    qsizetype dopoIlPrimo = -1;
    while (!scadenza.hasExpired()) {
        if (!m_parec.waitForReadyRead(int(qMax<qint64>(1, scadenza.remainingTime()))))
            break;
        Leggi();
        if (dopoIlPrimo < 0)
            dopoIlPrimo = m_dati.size();
        else if (m_dati.size() - dopoIlPrimo >= Frequenza / 10 * 2)
            return true;
    }
    m_errore = QStringLiteral("parec records nothing from ") + m_monitor + QStringLiteral(": ")
        + QString::fromLocal8Bit(m_parec.readAllStandardError());
    return false;
}

QVector<float> Registrazione::Ferma()
{
    Leggi();
    m_parec.terminate();
    m_parec.waitForFinished(2000);
    Leggi();
    QVector<float> campioni(m_dati.size() / 2);
    for (qsizetype i = 0; i < campioni.size(); ++i)
        campioni[i] = qFromLittleEndian<qint16>(m_dati.constData() + 2 * i) / 32768.0f;
    return campioni;
}
