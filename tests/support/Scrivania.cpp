// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scrivania.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>

Scrivania::Scrivania(QSize schermo)
    : m_xvfb(schermo.width(), schermo.height())
    , m_display(QString::fromLatin1(m_xvfb.display()))
{
    if (m_display.isEmpty())
        return;
    qputenv("DISPLAY", m_display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    m_pronta = true;
}

Scrivania::~Scrivania()
{
    if (m_windowManager.state() != QProcess::NotRunning) {
        m_windowManager.terminate();
        m_windowManager.waitForFinished(3000);
    }
    if (!m_cartellaWm.isEmpty())
        QDir(m_cartellaWm).removeRecursively();
}

bool Scrivania::avviaWindowManager()
{
    // A configuration folder of its own, so that nothing of the user's is read or written.
    m_cartellaWm = QDir::temp().filePath(
        QStringLiteral("idrovela-wm-%1").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(m_cartellaWm);
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("DISPLAY"), m_display);
    ambiente.insert(QStringLiteral("HOME"), m_cartellaWm);
    ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), m_cartellaWm);
    ambiente.insert(QStringLiteral("XDG_CACHE_HOME"), m_cartellaWm);
    m_windowManager.setProcessEnvironment(ambiente);
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.setStandardOutputFile(QProcess::nullDevice());
    m_windowManager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    if (!m_windowManager.waitForStarted(5000))
        return false;
    // The manager announces itself on the root window once it manages windows.
    QDeadlineTimer scadenza(10000);
    while (!scadenza.hasExpired()) {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
            { QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK") });
        xprop.waitForFinished(2000);
        if (xprop.readAllStandardOutput().contains("window id"))
            return true;
        QThread::msleep(50);
    }
    return false;
}

QString Scrivania::xdotool(const QStringList& argomenti, int attesaMs) const
{
    QProcess processo;
    processo.start(QStringLiteral("xdotool"), argomenti);
    const auto guasto = [&](const QString& come) {
        m_guasti << QStringLiteral("xdotool %1: %2 %3")
                        .arg(argomenti.join(QLatin1Char(' ')), come,
                            QString::fromLocal8Bit(processo.readAllStandardError()).trimmed());
        return QString();
    };
    if (!processo.waitForFinished(attesaMs)) {
        processo.kill();
        processo.waitForFinished();
        return guasto(QStringLiteral("did not end"));
    }
    const QString uscita = QString::fromLocal8Bit(processo.readAllStandardOutput()).trimmed();
    const bool nienteTrovato = argomenti.value(0) == QLatin1String("search")
        && processo.exitCode() == 1 && uscita.isEmpty();
    if (processo.exitStatus() != QProcess::NormalExit
        || (processo.exitCode() != 0 && !nienteTrovato))
        return guasto(QStringLiteral("exit status %1").arg(processo.exitCode()));
    return uscita;
}

bool Scrivania::attendiGestita(const QString& finestra, int attesaMs) const
{
    QDeadlineTimer scadenza(attesaMs);
    do {
        QProcess xwininfo;
        xwininfo.start(QStringLiteral("xwininfo"), { QStringLiteral("-id"), finestra });
        xwininfo.waitForFinished(3000);
        const QList<int> cornice = bordi(finestra);
        if (xwininfo.readAllStandardOutput().contains("IsViewable") && cornice[2] > 0)
            return true;
        QThread::msleep(20);
    } while (!scadenza.hasExpired());
    return false;
}

QString Scrivania::cercaFinestra(const QString& titolo, int attesaMs) const
{
    const QString esatto = QLatin1Char('^') + QRegularExpression::escape(titolo) + QLatin1Char('$');
    QDeadlineTimer scadenza(attesaMs);
    do {
        const QString trovate = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
            QStringLiteral("--name"), esatto });
        if (!trovate.isEmpty())
            return trovate.split(QLatin1Char('\n')).last();
        QThread::msleep(20);
    } while (!scadenza.hasExpired());
    return {};
}

bool Scrivania::finestraEsiste(const QString& titolo) const
{
    return !cercaFinestra(titolo, 0).isEmpty();
}

QString Scrivania::elencoFinestre() const
{
    QProcess xwininfo;
    xwininfo.start(
        QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-tree") });
    xwininfo.waitForFinished(10000);
    QStringList righe;
    for (const QString& riga : QString::fromLocal8Bit(xwininfo.readAllStandardOutput()).split('\n'))
        if (riga.contains(QLatin1Char('"')))
            righe << riga.trimmed();
    if (!m_guasti.isEmpty())
        righe << QStringLiteral("xdotool failed:") << m_guasti;
    return righe.isEmpty() ? QStringLiteral("none") : righe.join(QLatin1Char('\n'));
}

QRect Scrivania::geometria(const QString& finestra) const
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), { QStringLiteral("-id"), finestra });
    xwininfo.waitForFinished(3000);
    const QString info = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const auto valore = [&info](const char* nome) {
        const QRegularExpression riga(QLatin1String(nome) + QStringLiteral(":\\s*(-?\\d+)"));
        return riga.match(info).captured(1).toInt();
    };
    return QRect(valore("Absolute upper-left X"), valore("Absolute upper-left Y"), valore("Width"),
        valore("Height"));
}

QList<int> Scrivania::bordi(const QString& finestra) const
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
        { QStringLiteral("-id"), finestra, QStringLiteral("_NET_FRAME_EXTENTS") });
    xprop.waitForFinished(3000);
    const QString riga = QString::fromLocal8Bit(xprop.readAllStandardOutput());
    QList<int> bordi;
    for (const QString& numero : riga.section(QLatin1Char('='), 1).split(QLatin1Char(',')))
        bordi << numero.trimmed().toInt();
    return bordi.size() == 4 ? bordi : QList<int> { 0, 0, 0, 0 };
}

QPoint Scrivania::closeBox(const QString& finestra) const
{
    const QRect rettangolo = geometria(finestra);
    const QList<int> cornice = bordi(finestra);
    return QPoint(rettangolo.right() + cornice[1] - 12, rettangolo.top() - cornice[2] / 2);
}

void Scrivania::clic(QPoint punto) const
{
    xdotool({ QStringLiteral("mousemove"), QString::number(punto.x()), QString::number(punto.y()),
        QStringLiteral("click"), QStringLiteral("1") });
}

void Scrivania::tasto(const QString& tasto) const
{
    xdotool({ QStringLiteral("key"), tasto });
}

QImage Scrivania::schermata() const
{
    QScreen* schermo = QGuiApplication::primaryScreen();
    return schermo ? schermo->grabWindow(0).toImage() : QImage();
}

QImage Scrivania::schermata(const QRect& zona) const
{
    QScreen* schermo = QGuiApplication::primaryScreen();
    return schermo
        ? schermo->grabWindow(0, zona.x(), zona.y(), zona.width(), zona.height()).toImage()
        : QImage();
}

QDir Scrivania::cartellaArtefatti()
{
    const QString cartella = qEnvironmentVariable(
        "IDROVELA_ARTEFATTI", QDir::current().filePath(QStringLiteral("artefatti")));
    QDir().mkpath(cartella);
    return QDir(cartella);
}
