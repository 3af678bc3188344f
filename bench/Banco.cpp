// SPDX-License-Identifier: GPL-3.0-or-later
#include "Banco.h"

#include "Posizioni.h"
#include "PrefissoWine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 Ms = 1000000; // nanoseconds

// Where the pupil clicks, in Idrovela's client area below the menu bar.
const Posizioni Disegno;
const QPoint Acqua = Disegno.Opzione("Option1", 0);
const QPoint Olio = Disegno.Opzione("Option1", 2);
const QPoint Ferro = Disegno.Opzione("Option2", 1);
const QPoint OK = Disegno.Centro("Command1");
// The tank, and a point of its liquid that no body ever covers.
const QRect Vasca = Disegno.Rettangolo("imgContenitore");
const QPoint NelLiquido(60, 200);
constexpr quint32 ColoreAcqua = 0x80FFFF;
constexpr quint32 ColoreOlio = 0xD2FF80;

// The descent as designed: 58 ticks of 30 ms.
constexpr double DurataProgettoMs = 58 * 30;
// The first step cannot be painted before a tick (30 ms) after "OK"; what the tank shows
// before is the click's own frame (the body shown again after a reset).
constexpr qint64 PrimaDelPasso = 25 * Ms;
// Drawings closer than this belong to one frame; the ticks are 30 ms apart.
constexpr qint64 StessoFotogramma = 8 * Ms;

// Whether a goal was met; nothing to say when the figure was not measured.
std::optional<bool> Esito(double valore, bool raggiunto)
{
    if (std::isnan(valore))
        return std::nullopt;
    return raggiunto;
}

double InMs(qint64 ns)
{
    return double(ns) / double(Ms);
}

QString Riga(const QString& nome, const QString& valore, const QString& obiettivo = {},
    std::optional<bool> raggiunto = std::nullopt)
{
    const QString esito = !raggiunto ? QString()
        : *raggiunto                 ? QStringLiteral("met")
                                     : QStringLiteral("MISSED");
    return QStringLiteral("%1 %2 %3 %4")
        .arg(nome, -46)
        .arg(valore, -40)
        .arg(obiettivo, -12)
        .arg(esito);
}

QString Macchina()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QString modello;
    if (cpuinfo.open(QIODevice::ReadOnly))
        for (const QByteArray& riga : cpuinfo.readAll().split('\n'))
            if (riga.startsWith("model name")) {
                modello = QString::fromLatin1(riga.mid(riga.indexOf(':') + 1).trimmed());
                break;
            }
    return QStringLiteral("%1 x %2, Linux %3, Qt %4")
        .arg(sysconf(_SC_NPROCESSORS_ONLN))
        .arg(modello, QSysInfo::kernelVersion(), QString::fromLatin1(qVersion()));
}

QString Carico()
{
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    return loadavg.open(QIODevice::ReadOnly)
        ? QString::fromLatin1(loadavg.readAll().split(' ').first())
        : QString();
}

} // namespace

Banco::Banco(Opzioni opzioni)
    : m_opzioni(std::move(opzioni))
    , m_giri(m_opzioni.rapido ? 2 : 25)
    , m_processiDiscesa(m_opzioni.rapido ? 1 : 3)
    , m_discesePerProcesso(m_opzioni.rapido ? 1 : 3)
    , m_giriInattivi(m_opzioni.rapido ? 1 : 3)
    , m_durataInattivaMs(m_opzioni.rapido ? 2000 : 10000)
    , m_giriWine(m_opzioni.rapido ? 1 : 15)
{
}

const char* Banco::Chiave(Programma programma)
{
    switch (programma) {
    case Programma::Idrovela:
        return "idrovela";
    case Programma::FinestraQt:
        return "finestra_qt";
    case Programma::FinestraX:
        return "finestra_x";
    }
    return "";
}

QString Banco::Percorso(Programma programma) const
{
    switch (programma) {
    case Programma::Idrovela:
        return QDir(m_opzioni.cartella).filePath(QStringLiteral("idrovela"));
    case Programma::FinestraQt:
        return QDir(m_opzioni.cartella).filePath(QStringLiteral("idrovela-bench-qt"));
    case Programma::FinestraX:
        return QDir(m_opzioni.cartella).filePath(QStringLiteral("idrovela-bench-x"));
    }
    return {};
}

void Banco::Attendi(int ms)
{
    m_osservatore->Svuota(ms);
}

std::optional<Banco::Finestra> Banco::PrimoDisegno(Figlio& figlio)
{
    const qint64 scadenza = figlio.Avvio() + 15000 * Ms;
    std::optional<Finestra> finestra;
    while (const auto e = m_osservatore->Prossimo(scadenza)) {
        if (!finestra && e->tipo == Osservatore::Evento::Tipo::Mappa) {
            finestra = Finestra { e->finestra, e->area,
                QRect(e->area.left(), e->area.bottom() - 399, e->area.width(), 400),
                e->ns - figlio.Avvio() };
        } else if (finestra && e->tipo == Osservatore::Evento::Tipo::Disegno
            && e->area.intersects(finestra->area)) {
            finestra->disegnoNs = e->ns - figlio.Avvio();
            for (const Figlio::Filo& filo : figlio.Fili())
                finestra->cpuNs += filo.cpuNs;
            return finestra;
        }
    }
    return std::nullopt;
}

std::optional<Banco::Finestra> Banco::AvviaEAttendi(Figlio& figlio)
{
    // What the last program left behind, such as the root repainted where its window was,
    // must not pass for the next one's drawing.
    m_osservatore->Svuota(100);
    if (!figlio.Avvia())
        return std::nullopt;
    return PrimoDisegno(figlio);
}

void Banco::Avvii()
{
    std::printf("start-up and memory: %d rounds of the three programs in turn\n", m_giri);
    std::fflush(stdout);
    // Round -1 warms the caches (fonts, libraries) and is not counted.
    for (int giro = -1; giro < m_giri; ++giro) {
        std::map<Programma, double> avvio, memoria;
        for (int k = 0; k < 3; ++k) {
            // Each round starts with another program, so that none is always first.
            const Programma programma = Programmi[(giro + 3 + k) % 3];
            Figlio figlio(Percorso(programma));
            const std::optional<Finestra> finestra = AvviaEAttendi(figlio);
            if (!finestra) {
                std::fprintf(stderr, "%s showed no window\n", Chiave(programma));
                ++m_errori;
                continue;
            }
            Attendi(500); // the first frame is followed by a short settle
            const long kb = figlio.PiccoMemoriaKb();
            if (programma == Programma::Idrovela && giro >= 0)
                Scelte(*finestra);
            figlio.Termina();
            if (giro < 0)
                continue;
            avvio[programma] = InMs(finestra->disegnoNs);
            memoria[programma] = double(kb) / 1024.0;
            m_avvio[programma].Aggiungi(avvio[programma]);
            m_mappa[programma].Aggiungi(InMs(finestra->mappaNs));
            m_cpuAvvio[programma].Aggiungi(InMs(finestra->cpuNs));
            m_memoria[programma].Aggiungi(memoria[programma]);
        }
        if (avvio.size() != 3)
            continue;
        const auto rapporto = [](std::map<Programma, double>& m, Programma base) {
            return m[Programma::Idrovela] / m[base];
        };
        m_rapportoAvvioQt.Aggiungi(rapporto(avvio, Programma::FinestraQt));
        m_rapportoAvvioX.Aggiungi(rapporto(avvio, Programma::FinestraX));
        m_rapportoMemoriaQt.Aggiungi(rapporto(memoria, Programma::FinestraQt));
        m_rapportoMemoriaX.Aggiungi(rapporto(memoria, Programma::FinestraX));
    }
}

void Banco::Scelte(const Finestra& finestra)
{
    const QRect vasca = Vasca.translated(finestra.client.topLeft());
    const int scelte = m_opzioni.rapido ? 2 : 4;
    for (int i = 0; i < scelte; ++i) {
        // Oil and water in turn, so that the tank's colour really changes every time.
        const bool olio = i % 2 == 0;
        m_osservatore->Svuota();
        const qint64 clic = m_osservatore->Clic(finestra.client.topLeft() + (olio ? Olio : Acqua));
        double ms = std::nan("");
        while (const auto e = m_osservatore->Prossimo(clic + 2000 * Ms))
            if (e->tipo == Osservatore::Evento::Tipo::Disegno && e->area.intersects(vasca)) {
                ms = InMs(e->ns - clic);
                break;
            }
        Attendi(150);
        // The drawing counts only if the tank now shows the liquid chosen.
        const quint32 atteso = olio ? ColoreOlio : ColoreAcqua;
        if (m_osservatore->Colore(finestra.client.topLeft() + NelLiquido) != atteso)
            ms = std::nan("");
        (i == 0 ? m_primaScelta : m_scelta).Aggiungi(ms);
        Attendi(100);
    }
}

void Banco::Discese()
{
    std::printf("descent: %d rounds of Idrovela (iron in water) and the bare Qt window in turn, "
                "%d runs each\n",
        m_processiDiscesa, m_discesePerProcesso);
    std::fflush(stdout);
    for (int p = 0; p < m_processiDiscesa; ++p) {
        for (int k = 0; k < 2; ++k) {
            const bool idrovela = (p + k) % 2 == 0;
            if (idrovela)
                DisceseIdrovela();
            else
                DisceseQt();
        }
    }
}

void Banco::DisceseIdrovela()
{
    Figlio figlio(Percorso(Programma::Idrovela));
    const std::optional<Finestra> finestra = AvviaEAttendi(figlio);
    if (!finestra) {
        ++m_errori;
        return;
    }
    Attendi(300);
    m_osservatore->Clic(finestra->client.topLeft() + Acqua);
    Attendi(300);
    m_osservatore->Clic(finestra->client.topLeft() + Ferro);
    // A pupil takes a while before pressing "OK"; the sound stack gets ready meanwhile.
    Attendi(1500);
    for (int d = 0; d < m_discesePerProcesso; ++d)
        if (!UnaDiscesa(*finestra, m_discesa))
            ++m_errori;
    if (m_opzioni.rapido)
        return; // waiting for the sound to end would take a quick pass past half a minute
    // Idle once a run is over and its sound has ended (3.6 s from the start of the run).
    Attendi(4000);
    const Istantanea prima = Fotografa(figlio);
    Attendi(m_durataInattivaMs);
    const Consumo consumo = Differenza(prima, Fotografa(figlio));
    m_cpuDopoCorsa.Aggiungi(consumo.cpuMs);
    m_risvegliDopoCorsa.Aggiungi(double(consumo.risvegli));
    for (auto i = consumo.perFilo.begin(); i != consumo.perFilo.end(); ++i)
        m_filiDopoCorsa[i.key()] = m_filiDopoCorsa[i.key()].toInt() + i.value().toInt();
}

void Banco::DisceseQt()
{
    Figlio figlio(Percorso(Programma::FinestraQt), { QStringLiteral("--discesa") });
    const std::optional<Finestra> finestra = AvviaEAttendi(figlio);
    if (!finestra) {
        ++m_errori;
        return;
    }
    Attendi(2100); // as long as Idrovela's choices take
    for (int d = 0; d < m_discesePerProcesso; ++d)
        if (!UnaDiscesa(*finestra, m_discesaQt))
            ++m_errori;
}

bool Banco::UnaDiscesa(const Finestra& finestra, Corse& corse)
{
    using Tipo = Osservatore::Evento::Tipo;
    const QRect vasca = Vasca.translated(finestra.client.topLeft());
    m_osservatore->Svuota(100);
    const qint64 clic = m_osservatore->Clic(finestra.client.topLeft() + OK);
    std::vector<qint64> fotogrammi;
    std::optional<Osservatore::Evento> verdetto; // the message box, once mapped
    qint64 verdettoNs = 0;
    const qint64 scadenza = clic + 6000 * Ms;
    while (const auto e = m_osservatore->Prossimo(scadenza)) {
        if (e->tipo == Tipo::Mappa && e->finestra != finestra.id && !verdetto) {
            verdetto = e;
        } else if (e->tipo == Tipo::Disegno) {
            if (verdetto && e->area.intersects(verdetto->area)) {
                // The box lies over the tank: from its first paint on, drawings there are its
                // own, and a step painted after the verdict counts as missing.
                verdettoNs = e->ns;
                break;
            }
            if (e->area.intersects(vasca) && e->ns - clic > PrimaDelPasso) {
                if (fotogrammi.empty() || e->ns - fotogrammi.back() > StessoFotogramma)
                    fotogrammi.push_back(e->ns);
            }
        }
    }
    if (!verdettoNs || fotogrammi.empty())
        return false;
    corse.durata.Aggiungi(InMs(verdettoNs - clic));
    corse.ultimoPasso.Aggiungi(InMs(fotogrammi.back() - clic));
    corse.passi.Aggiungi(double(fotogrammi.size()));
    for (size_t i = 1; i < fotogrammi.size(); ++i) {
        const double ms = InMs(fotogrammi[i] - fotogrammi[i - 1]);
        corse.passo.Aggiungi(ms);
        if (ms > 35) // which step was late tells the timer's lateness from the verdict's
            corse.lenti.append(QJsonObject { { "passo", int(i) + 1 }, { "ms", ms } });
    }

    // Return closes the verdict; the reset that follows hides the body.
    m_osservatore->Tasto("Return");
    const qint64 chiusura = Adesso() + 3000 * Ms;
    while (const auto e = m_osservatore->Prossimo(chiusura))
        if (e->tipo == Tipo::Smappa && e->finestra == verdetto->finestra) {
            Attendi(300);
            return true;
        }
    return false;
}

Banco::Istantanea Banco::Fotografa(const Figlio& figlio)
{
    return { figlio.Fili(), figlio.CpuStatMs() };
}

Banco::Consumo Banco::Differenza(const Istantanea& prima, const Istantanea& dopo)
{
    Consumo consumo;
    consumo.cpuStatMs = dopo.cpuStatMs - prima.cpuStatMs;
    for (const Figlio::Filo& filo : dopo.fili) {
        Figlio::Filo prima_ {};
        for (const Figlio::Filo& f : prima.fili)
            if (f.tid == filo.tid)
                prima_ = f; // a thread that was not there yet counts from zero
        consumo.cpuMs += InMs(filo.cpuNs - prima_.cpuNs);
        const qint64 risvegli = filo.risvegli - prima_.risvegli;
        consumo.risvegli += risvegli;
        if (risvegli > 0)
            consumo.perFilo[filo.nome] = consumo.perFilo[filo.nome].toInt() + int(risvegli);
    }
    return consumo;
}

void Banco::Inattivita()
{
    std::printf("idle: %d rounds of %d s, the three programs open side by side\n", m_giriInattivi,
        m_durataInattivaMs / 1000);
    std::fflush(stdout);
    for (int giro = 0; giro < m_giriInattivi; ++giro) {
        std::map<Programma, std::unique_ptr<Figlio>> figli;
        for (const Programma programma : Programmi) {
            auto figlio = std::make_unique<Figlio>(Percorso(programma));
            if (!AvviaEAttendi(*figlio)) {
                ++m_errori;
                continue;
            }
            figli[programma] = std::move(figlio);
        }
        Attendi(1000);
        std::map<Programma, Istantanea> prima;
        for (const auto& [programma, figlio] : figli)
            prima[programma] = Fotografa(*figlio);
        Attendi(m_durataInattivaMs);
        for (const auto& [programma, figlio] : figli) {
            const Consumo consumo = Differenza(prima[programma], Fotografa(*figlio));
            m_cpuInattivo[programma].Aggiungi(consumo.cpuMs);
            m_cpuStatInattivo[programma].Aggiungi(consumo.cpuStatMs);
            m_risvegliInattivo[programma].Aggiungi(double(consumo.risvegli));
            QJsonObject fili = m_filiInattivi[QLatin1String(Chiave(programma))].toObject();
            for (auto i = consumo.perFilo.begin(); i != consumo.perFilo.end(); ++i)
                fili[i.key()] = fili[i.key()].toInt() + i.value().toInt();
            m_filiInattivi[QLatin1String(Chiave(programma))] = fili;
        }
    }
}

void Banco::Suono()
{
    std::printf("sound: idrovela-bench-suono on the private sound server\n");
    std::fflush(stdout);
    QProcess suono;
    suono.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList argomenti = m_opzioni.rapido
        ? QStringList { QStringLiteral("3"), QStringLiteral("1") }
        : QStringList { QStringLiteral("40"), QStringLiteral("10") };
    suono.start(
        QDir(m_opzioni.cartella).filePath(QStringLiteral("idrovela-bench-suono")), argomenti);
    if (!suono.waitForFinished(600000) || suono.exitCode() != 0) {
        ++m_errori;
        return;
    }
    const QByteArray uscita = suono.readAllStandardOutput().trimmed();
    m_suono = QJsonDocument::fromJson(uscita.mid(uscita.lastIndexOf('\n') + 1)).object();
    if (m_suono.isEmpty())
        ++m_errori;
}

void Banco::Windows()
{
    std::printf("Windows program: %d rounds of Idrovela.exe and a bare Win32 window in turn "
                "under Wine, each from a Wine server that is not running yet\n",
        m_giriWine);
    std::fflush(stdout);
    const QDir cartella(m_opzioni.windows);
    const QString exe = cartella.filePath(QStringLiteral("Idrovela.exe"));
    const QString programmi[2] { exe,
        cartella.filePath(QStringLiteral("bin/idrovela-bench-win32.exe")) };
    for (const auto& [chiave, file] : { std::pair { "exe", QStringLiteral("Idrovela.exe") },
             std::pair { "installatore", QStringLiteral("Idrovela-1.00-setup.exe") },
             std::pair { "zip", QStringLiteral("Idrovela-1.00-portable.zip") } }) {
        const QFileInfo info(cartella.filePath(file));
        m_dimensioniWindows[QLatin1String(chiave)]
            = info.exists() ? QJsonValue(double(info.size()) / 1024.0) : QJsonValue();
    }
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty() || !QFile::exists(programmi[0]) || !QFile::exists(programmi[1])) {
        std::fprintf(
            stderr, "no wine, or no Windows program in %s\n", qPrintable(m_opzioni.windows));
        ++m_errori;
        return;
    }

    PrefissoWine prefisso(QString::fromLatin1(m_server.display()));
    QElapsedTimer preparazione;
    preparazione.start();
    if (!prefisso.Prepara()) {
        std::fprintf(stderr, "%s\n", qPrintable(prefisso.Errore()));
        ++m_errori;
        return;
    }
    m_preparazioneWineS = double(preparazione.elapsed()) / 1000.0;
    // The programs started by fork and exec take Wine's settings from this process.
    const QProcessEnvironment ambiente = prefisso.Ambiente();
    std::map<QByteArray, std::optional<QByteArray>> prima;
    for (const char* nome : { "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "WINEARCH", "HOME",
             "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" }) {
        prima[nome] = qEnvironmentVariableIsSet(nome) ? std::optional(qgetenv(nome)) : std::nullopt;
        qputenv(nome, ambiente.value(QLatin1String(nome)).toLocal8Bit());
    }

    for (int giro = -1; giro < m_giriWine; ++giro) {
        double avvio[2] = { std::nan(""), std::nan("") };
        for (int k = 0; k < 2; ++k) {
            const int i = (giro + 2 + k) % 2;
            Figlio figlio(wine, { programmi[i] });
            const std::optional<Finestra> finestra = AvviaEAttendi(figlio);
            if (!finestra) {
                std::fprintf(stderr, "%s showed no window under Wine\n", qPrintable(programmi[i]));
                ++m_errori;
            }
            Attendi(500);
            figlio.Termina();
            // The next start finds no server, as a pupil's first double-click does.
            if (!prefisso.AttendiServer(30000))
                ++m_errori;
            if (!finestra || giro < 0)
                continue;
            avvio[i] = InMs(finestra->disegnoNs);
            m_avvioWine[i].Aggiungi(avvio[i]);
            m_mappaWine[i].Aggiungi(InMs(finestra->mappaNs));
        }
        if (giro >= 0 && !std::isnan(avvio[0]) && !std::isnan(avvio[1]))
            m_rapportoAvvioWine.Aggiungi(avvio[0] / avvio[1]);
    }

    std::printf("sndPlaySoundA: idrovela-bench-sndplaysound.exe under Wine\n");
    std::fflush(stdout);
    QProcess suono;
    suono.setProcessEnvironment(ambiente);
    suono.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QString windowsExe = QStringLiteral("Z:") + QFileInfo(exe).absoluteFilePath();
    windowsExe.replace(QLatin1Char('/'), QLatin1Char('\\'));
    suono.start(wine,
        { cartella.filePath(QStringLiteral("bin/idrovela-bench-sndplaysound.exe")), windowsExe,
            QString::number(m_opzioni.rapido ? 3 : 40) });
    if (!suono.waitForFinished(120000) || suono.exitCode() != 0) {
        std::fprintf(stderr, "idrovela-bench-sndplaysound.exe failed: %s\n",
            suono.readAllStandardOutput().constData());
        suono.kill();
        suono.waitForFinished();
        ++m_errori;
    } else {
        const QByteArray uscita = suono.readAllStandardOutput().trimmed();
        m_sndPlaySound = QJsonDocument::fromJson(uscita.mid(uscita.lastIndexOf('\n') + 1)).object();
        if (m_sndPlaySound.isEmpty())
            ++m_errori;
    }
    prefisso.AttendiServer(30000);

    for (const auto& [nome, valore] : prima) {
        if (valore)
            qputenv(nome.constData(), *valore);
        else
            qunsetenv(nome.constData());
    }
}

int Banco::Esegui()
{
    if (m_server.display().isEmpty()) {
        std::fprintf(stderr, "Xvfb does not start\n");
        return 1;
    }
    qputenv("DISPLAY", m_server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    m_osservatore = std::make_unique<Osservatore>(m_server.display());
    if (!m_osservatore->Pronto()) {
        std::fprintf(stderr, "the X server lacks DAMAGE or XTEST\n");
        return 1;
    }
    m_carico = Carico();
    const auto scelta = [this](const char* sezione) {
        return m_opzioni.sezioni.isEmpty() || m_opzioni.sezioni.contains(QLatin1String(sezione));
    };
    if (scelta("avvio"))
        Avvii();
    if (scelta("discesa"))
        Discese();
    if (scelta("inattivo"))
        Inattivita();
    if (scelta("suono"))
        Suono();
    if (!m_opzioni.windows.isEmpty() && scelta("windows"))
        Windows();
    m_carico += QStringLiteral(" -> ") + Carico();
    Stampa();
    return m_errori == 0 ? 0 : 1;
}

namespace {

// A figure of idrovela-bench-suono, written as Statistica::Testo writes its own.
QString TestoSuono(const QJsonObject& figura)
{
    if (!figura.value(QLatin1String("mediana")).isDouble())
        return QStringLiteral("n/a");
    return QStringLiteral("%1 (%2-%3)")
        .arg(figura.value(QLatin1String("mediana")).toDouble(), 0, 'f', 2)
        .arg(figura.value(QLatin1String("q1")).toDouble(), 0, 'f', 2)
        .arg(figura.value(QLatin1String("q3")).toDouble(), 0, 'f', 2);
}

} // namespace

void Banco::Stampa() const
{
    const auto stampa = [](const QString& riga) { std::printf("%s\n", qPrintable(riga)); };
    const auto tre
        = [&](const QString& nome, const std::map<Programma, Statistica>& m, int decimali) {
              QString riga = QStringLiteral("%1").arg(nome, -40);
              for (const Programma programma : Programmi) {
                  const auto i = m.find(programma);
                  riga += QStringLiteral(" %1").arg(
                      i == m.end() ? QStringLiteral("n/a") : i->second.Testo(decimali), -26);
              }
              stampa(riga);
          };
    const int secondi = m_durataInattivaMs / 1000;
    stampa({});
    stampa(QStringLiteral("Idrovela benchmark on %1; load average %2").arg(Macchina(), m_carico));
    stampa(QStringLiteral("Each figure: median (first-third quartile) over the runs.\n"));
    stampa(QStringLiteral("%1 %2 %3 %4")
               .arg(QString(), -40)
               .arg(QStringLiteral("Idrovela"), -26)
               .arg(QStringLiteral("bare Qt window"), -26)
               .arg(QStringLiteral("bare Xlib window")));
    tre(QStringLiteral("start-up to first paint, ms"), m_avvio, 1);
    tre(QStringLiteral("start-up to map, ms"), m_mappa, 1);
    tre(QStringLiteral("CPU time at the first paint, ms"), m_cpuAvvio, 1);
    tre(QStringLiteral("peak resident memory (VmHWM), MiB"), m_memoria, 1);
    tre(QStringLiteral("idle: CPU in %1 s, ms (schedstat)").arg(secondi), m_cpuInattivo, 2);
    tre(QStringLiteral("idle: CPU in %1 s, ms (utime+stime)").arg(secondi), m_cpuStatInattivo, 0);
    tre(QStringLiteral("idle: wake-ups in %1 s").arg(secondi), m_risvegliInattivo, 0);
    stampa({});

    stampa(Riga(QStringLiteral("figure"), QStringLiteral("measured"), QStringLiteral("goal")));
    const double avvioQt = m_rapportoAvvioQt.Mediana();
    const double memoriaQt = m_rapportoMemoriaQt.Mediana();
    stampa(Riga(QStringLiteral("start-up / bare Qt window (per round)"), m_rapportoAvvioQt.Testo(2),
        QStringLiteral("<= 1.2"), Esito(avvioQt, avvioQt <= 1.2)));
    stampa(
        Riga(QStringLiteral("start-up / bare Xlib window (per round)"), m_rapportoAvvioX.Testo(2)));
    stampa(Riga(QStringLiteral("memory / bare Qt window (per round)"), m_rapportoMemoriaQt.Testo(2),
        QStringLiteral("<= 1.2"), Esito(memoriaQt, memoriaQt <= 1.2)));
    stampa(
        Riga(QStringLiteral("memory / bare Xlib window (per round)"), m_rapportoMemoriaX.Testo(2)));

    const double scarto = m_discesa.durata.Mediana() - DurataProgettoMs;
    stampa(Riga(QStringLiteral("descent: \"OK\" to the verdict's paint, ms"),
        std::isnan(scarto) ? QStringLiteral("n/a")
                           : QStringLiteral("%1, %2%3 ms")
                                 .arg(m_discesa.durata.Testo(0))
                                 .arg(scarto >= 0 ? QStringLiteral("+") : QString())
                                 .arg(scarto, 0, 'f', 0),
        QStringLiteral("1740 +- 30"), Esito(scarto, std::abs(scarto) <= 30)));
    stampa(Riga(QStringLiteral("descent: \"OK\" to the last step's paint, ms"),
        m_discesa.ultimoPasso.Testo(0)));
    stampa(Riga(QStringLiteral("descent: frames of the tank per run"), m_discesa.passi.Testo(0),
        QStringLiteral("58")));
    const auto passi = [](const Statistica& passo) {
        return passo.Numero() == 0 ? QStringLiteral("n/a")
                                   : QStringLiteral("%1, p90 %2, most %3")
                                         .arg(passo.Testo(1))
                                         .arg(passo.Quantile(0.9), 0, 'f', 1)
                                         .arg(passo.Quantile(1), 0, 'f', 1);
    };
    const double lentoMassimo = m_discesa.passo.Quantile(1);
    stampa(Riga(QStringLiteral("descent: between two steps' paints, ms"), passi(m_discesa.passo),
        QStringLiteral("most <= 35"), Esito(lentoMassimo, lentoMassimo <= 35)));
    stampa(Riga(QStringLiteral("  the same in the bare Qt window, ms"), passi(m_discesaQt.passo)));
    stampa(Riga(QStringLiteral("  bare Qt window: \"OK\" to its message, ms"),
        m_discesaQt.durata.Testo(0)));
    stampa(Riga(QStringLiteral("choice: click to the tank repainted, ms"), m_scelta.Testo(1),
        QStringLiteral("<= 16"), Esito(m_scelta.Quantile(1), m_scelta.Quantile(1) <= 16)));
    stampa(Riga(QStringLiteral("choice: the first one of a process, ms"), m_primaScelta.Testo(1),
        QStringLiteral("<= 16"),
        Esito(m_primaScelta.Quantile(1), m_primaScelta.Quantile(1) <= 16)));

    const auto suono
        = [this](const char* chiave) { return m_suono.value(QLatin1String(chiave)).toObject(); };
    const auto mediana = [&](const char* chiave) {
        return suono(chiave).value(QLatin1String("mediana")).toDouble(std::nan(""));
    };
    const double ritorno = mediana("ritorno_ms");
    const double preparato = mediana("ritorno_primo_preparato_ms");
    const double ritardo = mediana("ritardo_ms");
    stampa(Riga(QStringLiteral("RiproduciSuono returns, ms"), TestoSuono(suono("ritorno_ms")),
        QStringLiteral("< 2"), Esito(ritorno, ritorno < 2)));
    stampa(Riga(QStringLiteral("RiproduciSuono returns, first call, ms"),
        TestoSuono(suono("ritorno_primo_ms"))));
    stampa(Riga(QStringLiteral("RiproduciSuono returns, first after Prepara, ms"),
        TestoSuono(suono("ritorno_primo_preparato_ms")), QStringLiteral("< 2"),
        Esito(preparato, preparato < 2)));
    stampa(Riga(QStringLiteral("call to the sound in the monitor, ms"),
        TestoSuono(suono("ritardo_ms")), QStringLiteral("<= 30"), Esito(ritardo, ritardo <= 30)));
    stampa(Riga(QStringLiteral("call to the sound, first call, ms"),
        TestoSuono(suono("ritardo_primo_ms"))));
    stampa(Riga(QStringLiteral("call to the sound, first after Prepara, ms"),
        TestoSuono(suono("ritardo_primo_preparato_ms"))));

    const auto idrovela = [](const std::map<Programma, Statistica>& m) {
        const auto i = m.find(Programma::Idrovela);
        return i == m.end() ? Statistica() : i->second;
    };
    const Statistica risvegli = idrovela(m_risvegliInattivo);
    const Statistica cpu = idrovela(m_cpuInattivo);
    stampa(Riga(QStringLiteral("idle: wake-ups in %1 s").arg(secondi), risvegli.Testo(0),
        QStringLiteral("0"), Esito(risvegli.Quantile(1), risvegli.Quantile(1) == 0)));
    stampa(Riga(QStringLiteral("idle: CPU in %1 s, ms").arg(secondi), cpu.Testo(2),
        QStringLiteral("< %1").arg(secondi), Esito(cpu.Quantile(1), cpu.Quantile(1) < secondi)));
    stampa(Riga(QStringLiteral("idle after a run: wake-ups in %1 s").arg(secondi),
        m_risvegliDopoCorsa.Testo(0), QStringLiteral("0"),
        Esito(m_risvegliDopoCorsa.Quantile(1), m_risvegliDopoCorsa.Quantile(1) == 0)));
    stampa(Riga(QStringLiteral("idle after a run: CPU in %1 s, ms").arg(secondi),
        m_cpuDopoCorsa.Testo(2), QStringLiteral("< %1").arg(secondi),
        Esito(m_cpuDopoCorsa.Quantile(1), m_cpuDopoCorsa.Quantile(1) < secondi)));
    if (!m_opzioni.windows.isEmpty()) {
        const auto kib = [this](const char* chiave) {
            const QJsonValue v = m_dimensioniWindows.value(QLatin1String(chiave));
            return v.isDouble() ? QStringLiteral("%1 KiB").arg(v.toDouble(), 0, 'f', 1)
                                : QStringLiteral("n/a");
        };
        stampa({});
        stampa(QStringLiteral("Windows program under Wine (%1), each start from no Wine server; "
                              "a fresh prefix took %2 s")
                   .arg(m_giriWine)
                   .arg(m_preparazioneWineS, 0, 'f', 1));
        stampa(QStringLiteral("%1 %2 %3")
                   .arg(QString(), -40)
                   .arg(QStringLiteral("Idrovela.exe"), -26)
                   .arg(QStringLiteral("bare Win32 window")));
        stampa(QStringLiteral("%1 %2 %3")
                   .arg(QStringLiteral("start-up to first paint, ms"), -40)
                   .arg(m_avvioWine[0].Testo(1), -26)
                   .arg(m_avvioWine[1].Testo(1)));
        stampa(QStringLiteral("%1 %2 %3")
                   .arg(QStringLiteral("start-up to map, ms"), -40)
                   .arg(m_mappaWine[0].Testo(1), -26)
                   .arg(m_mappaWine[1].Testo(1)));
        const double medianeWine = m_avvioWine[0].Mediana() / m_avvioWine[1].Mediana();
        stampa(Riga(QStringLiteral("Wine: start-up / bare Win32 window (per round)"),
            m_rapportoAvvioWine.Testo(2)));
        stampa(Riga(QStringLiteral("Wine: start-up, ratio of the medians"),
            std::isnan(medianeWine) ? QStringLiteral("n/a")
                                    : QString::number(medianeWine, 'f', 2)));
        stampa(Riga(QStringLiteral("Idrovela.exe, size"), kib("exe")));
        stampa(Riga(QStringLiteral("Idrovela-1.00-setup.exe, size"), kib("installatore")));
        stampa(Riga(QStringLiteral("Idrovela-1.00-portable.zip, size"), kib("zip")));
        const QJsonValue primo = m_sndPlaySound.value(QLatin1String("ritorno_primo_ms"));
        stampa(Riga(QStringLiteral("Wine: sndPlaySoundA(data, 7) returns, ms"),
            TestoSuono(m_sndPlaySound.value(QLatin1String("ritorno_ms")).toObject())));
        stampa(Riga(QStringLiteral("Wine: sndPlaySoundA, first call, ms"),
            primo.isDouble() ? QString::number(primo.toDouble(), 'f', 2) : QStringLiteral("n/a")));
    }
    if (m_errori)
        stampa(QStringLiteral("\n%1 measurement(s) could not be taken").arg(m_errori));
    stampa({});
    std::printf("%s\n", QJsonDocument(Json()).toJson(QJsonDocument::Compact).constData());
}

QJsonObject Banco::Corse::Json() const
{
    const double scarto = durata.Mediana() - DurataProgettoMs;
    return { { "durata_ms", durata.Json() },
        { "scarto_da_1740_ms", std::isnan(scarto) ? QJsonValue() : QJsonValue(scarto) },
        { "ultimo_passo_ms", ultimoPasso.Json() }, { "intervallo_ms", passo.Json() },
        { "fotogrammi", passi.Json() }, { "intervalli_oltre_35_ms", lenti } };
}

QJsonObject Banco::Json() const
{
    const auto perProgramma = [](const std::map<Programma, Statistica>& m) {
        QJsonObject o;
        for (const auto& [programma, statistica] : m)
            o[QLatin1String(Chiave(programma))] = statistica.Json();
        return o;
    };
    return {
        { "bench", "idrovela" },
        { "rapido", m_opzioni.rapido },
        { "macchina", Macchina() },
        { "carico", m_carico },
        { "avvio_ms", perProgramma(m_avvio) },
        { "mappa_ms", perProgramma(m_mappa) },
        { "cpu_avvio_ms", perProgramma(m_cpuAvvio) },
        { "memoria_mib", perProgramma(m_memoria) },
        { "rapporto_avvio",
            QJsonObject { { "finestra_qt", m_rapportoAvvioQt.Json() },
                { "finestra_x", m_rapportoAvvioX.Json() } } },
        { "rapporto_memoria",
            QJsonObject { { "finestra_qt", m_rapportoMemoriaQt.Json() },
                { "finestra_x", m_rapportoMemoriaX.Json() } } },
        { "discesa", m_discesa.Json() },
        { "discesa_finestra_qt", m_discesaQt.Json() },
        { "scelta_ms", m_scelta.Json() },
        { "prima_scelta_ms", m_primaScelta.Json() },
        { "inattivo",
            QJsonObject { { "secondi", m_durataInattivaMs / 1000 },
                { "cpu_ms", perProgramma(m_cpuInattivo) },
                { "cpu_stat_ms", perProgramma(m_cpuStatInattivo) },
                { "risvegli", perProgramma(m_risvegliInattivo) },
                { "risvegli_per_filo", m_filiInattivi },
                { "dopo_corsa",
                    QJsonObject { { "cpu_ms", m_cpuDopoCorsa.Json() },
                        { "risvegli", m_risvegliDopoCorsa.Json() },
                        { "risvegli_per_filo", m_filiDopoCorsa } } } } },
        { "suono", m_suono },
        { "windows",
            m_opzioni.windows.isEmpty()
                ? QJsonValue()
                : QJsonObject { { "avvio_ms",
                                    QJsonObject { { "idrovela_exe", m_avvioWine[0].Json() },
                                        { "finestra_win32", m_avvioWine[1].Json() } } },
                    { "mappa_ms",
                        QJsonObject { { "idrovela_exe", m_mappaWine[0].Json() },
                            { "finestra_win32", m_mappaWine[1].Json() } } },
                    { "rapporto_avvio", m_rapportoAvvioWine.Json() },
                    { "prefisso_s", m_preparazioneWineS },
                    { "dimensioni_kib", m_dimensioniWindows },
                    { "sndplaysound", m_sndPlaySound } } },
        { "errori", m_errori },
    };
}
