// SPDX-License-Identifier: GPL-3.0-or-later
#include "Confronto.h"
#include "Disposizione.h"
#include "LettoreWave.h"
#include "Posizioni.h"
#include "PrefissoWine.h"
#include "Registrazione.h"
#include "Scrivania.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// Points of the tank's liquid that no body ever covers, in the tank picture's own pixels.
const QList<QPoint> NelLiquido { { 52, 184 }, { 200, 230 }, { 80, 130 } };
// The column that runs down the middle of every body, in the client area, and the rows of
// the liquid below the surface and above the floor, where a sinking body is seen moving.
constexpr int ColonnaCorpo = 142;
constexpr int RigaSotto = 125;
constexpr int RigaFondo = 268;

const QColor ColoreAcqua(0x80, 0xFF, 0xFF);
const QColor ColoreGrigio(0xD6, 0xD6, 0xD6);
const QColor ColoreOlio(0xD2, 0xFF, 0x80);
const QColor ColorePannello(192, 255, 255);
const QColor ColoreSfondo(199, 199, 199);

// The whole client area, in twips.
constexpr int LarghezzaClient = 7110;
constexpr int AltezzaClient = 6000;

// The opaque block of a body's picture (64 pixels a side at 96 dpi), in the picture's pixels.
const QRect CuboFerro(14, 17, 34, 31);
const QRect CuboRame(13, 17, 34, 31);

// True when every edge of one rectangle lies within a pixel of the other's.
bool Vicini(const QRect& a, const QRect& b)
{
    return qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1
        && qAbs(a.right() - b.right()) <= 1 && qAbs(a.bottom() - b.bottom()) <= 1;
}

QString Testo(const QRect& r)
{
    return QStringLiteral("(%1, %2) %3 x %4")
        .arg(r.left())
        .arg(r.top())
        .arg(r.width())
        .arg(r.height());
}

constexpr int Frequenza = Registrazione::Frequenza;
constexpr double Somiglianza = 0.9;
constexpr float Silenzio = 0.01f;
// The monitor misses the first milliseconds of a new stream; comparisons start after them.
constexpr qsizetype Attacco = Frequenza / 40;

} // namespace

// The Windows program under Wine, on a private X server with a window manager and the private
// sound server, driven as a pupil would drive it: choices, runs, panels and leaving.
class tst_FinestraWine : public QObject {
    Q_OBJECT

public:
    explicit tst_FinestraWine(Scrivania& scrivania)
        : m_scrivania(scrivania)
    {
    }

private slots:
    void initTestCase();
    void finestraDelProgetto();
    void ogniLiquidoColoraLaVasca_data();
    void ogniLiquidoColoraLaVasca();
    void ferroInAcquaAffondaConLeBolle();
    void ghiaccioInAcquaGalleggiaInSilenzio();
    void pannelliSiApronoESiChiudono_data();
    void pannelliSiApronoESiChiudono();
    void pannelliDallaTastiera();
    void laChiusuraChiedeConferma();
    void perUnLettoreDiSchermo();
    void esceDuranteUnaDiscesa();
    void cambioDiScalaDurante();
    void aOgniScala_data();
    void aOgniScala();
    void cleanupTestCase();

private:
    // Twips of the layout as pixels at the screen's dots per inch, rounded as the program does.
    int Px(double twips) const { return Posizioni(m_dpi).Px(twips); }
    // Where a control of the layout lies in the client area, in pixels.
    QRect Rettangolo(const char* nome, int indice = -1) const
    {
        return Posizioni(m_dpi).Rettangolo(nome, indice);
    }
    // Where a picture's own pixels land when the picture lies at (left, top) twips.
    QRect Pixel(int left, int top, const QRect& parte) const
    {
        return Posizioni(m_dpi).Pixel(left, top, parte);
    }
    QPoint Opzione(const char* gruppo, int indice) const
    {
        return Posizioni(m_dpi).Opzione(gruppo, indice);
    }
    // Until the window shows its whole first frame at the screen's scale.
    bool AttendiDipinta();
    // Where the bubbling's end lies in the recording, with the sound's first sample between
    // minimo and massimo: placed by its last half second or, where a gap falls in that, by the
    // last piece of a tenth of a second that the recording holds whole.
    Confronto::Allineamento FineDelleBolle(
        const QVector<float>& r, qsizetype minimo, qsizetype massimo) const;
    // Until a menu has dropped down under the entry at this point.
    bool AttendiMenu(QPoint voce, const QImage& prima);
    // The bounding box, in client coordinates, of the pixels in the zone that differ from
    // those of the same place in the other screenshot (or from the colour, when none is given).
    QRect Diversi(const QImage& schermata, const QRect& zona, const QImage& prima,
        const QColor& colore = {}) const;
    // The share of the columns of a panel whose bottom rows hold a pixel of its border.
    double BordoInferiore(const QRect& pannello) const;
    // Starts the program unless it runs, and waits for its window; false, with m_guasto saying
    // why, when it did not come.
    bool Avvia();
    bool Guasto(const QString& perche);
    // Where the window and its client area lie now.
    void Misura();
    // The window told that it moved to a screen of this scale, as Windows would tell it.
    bool CambiaDpi(int dpi);
    void Chiudi();
    QPoint Schermo(QPoint client) const { return m_client.topLeft() + client; }
    QColor Colore(QPoint client) const;
    // The share of the pixels of a client rectangle that have this colour.
    double Quota(const QRect& client, const QColor& colore) const;
    bool VascaDi(const QColor& colore) const;
    // The topmost row of the body in the tank below the surface; -1 when none shows there.
    int RigaDelCorpo() const;
    // The icons that the window gives the window manager for its title bar and the taskbar.
    QList<QImage> IconeDellaFinestra() const;
    // The menu bar's entries, left to right, as the screen shows their captions.
    QList<QPoint> VociDelMenu() const;
    void Fotografa(const QString& nome) const;
    // The recording as a WAVE file beside the screenshots, to be heard when a check fails.
    void SalvaRegistrazione(const QVector<float>& r, const QString& nome) const;
    void Scegli(const char* gruppo, int indice);
    // What LettoreAccessibile reads of the window now, kept beside the screenshots.
    QString Albero(const QString& passo) const;
    static QString Fuoco(const QString& albero) { return albero.section(QLatin1Char('\n'), 0, 0); }

    Scrivania& m_scrivania;
    std::unique_ptr<PrefissoWine> m_wine;
    std::unique_ptr<QProcess> m_programma;
    QString m_exe;
    QString m_cambiaDpi;
    QString m_lettore;
    QString m_finestra;
    QString m_guasto; // why Avvia() failed
    QRect m_esterno; // the X window: menu bar and client area
    QRect m_client; // the client area below the menu bar, in screen coordinates
    QDir m_artefatti;
    int m_dpi = 96; // the screen's, as the Wine prefix gives it
    QString m_sink;
    QVector<float> m_bolle; // the committed bubbling sound as the recording should hold it
};

void tst_FinestraWine::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    QVERIFY2(m_scrivania.avviaWindowManager(), "the window manager did not start");
    m_artefatti = Scrivania::cartellaArtefatti();
    m_exe = qEnvironmentVariable("IDROVELA_EXE");
    QVERIFY2(QFile::exists(m_exe), "IDROVELA_EXE names no built Idrovela.exe");
    m_cambiaDpi = QFileInfo(m_exe).dir().filePath(QStringLiteral("bin/CambiaDpi.exe"));
    QVERIFY2(QFile::exists(m_cambiaDpi), "no CambiaDpi.exe beside the built Idrovela.exe");
    m_lettore = QFileInfo(m_exe).dir().filePath(QStringLiteral("bin/LettoreAccessibile.exe"));
    QVERIFY2(QFile::exists(m_lettore), "no LettoreAccessibile.exe beside the built Idrovela.exe");
    m_sink = qEnvironmentVariable("IDROVELA_SERVER_AUDIO");

    QFile wave(QStringLiteral(IDROVELA_SORGENTI "/resources/suono/bolle.wav"));
    QVERIFY(wave.open(QIODevice::ReadOnly));
    const QByteArray immagine = wave.readAll();
    const auto campioni = LettoreWave::Leggi(immagine.constData(), immagine.size());
    QVERIFY(campioni && campioni->frequenza == Frequenza);
    m_bolle = Confronto::Mono(immagine, *campioni);

    m_wine = std::make_unique<PrefissoWine>(m_scrivania.display());
    QElapsedTimer preparazione;
    preparazione.start();
    QVERIFY2(m_wine->Prepara(), qPrintable(m_wine->Errore()));
    qInfo("a fresh Wine prefix took %.1f s", double(preparazione.elapsed()) / 1000);
}

Confronto::Allineamento tst_FinestraWine::FineDelleBolle(
    const QVector<float>& r, qsizetype minimo, qsizetype massimo) const
{
    const qsizetype n = m_bolle.size();
    const qsizetype tratto = Frequenza / 10;
    Confronto::Allineamento fine
        = Confronto::Cerca(r, m_bolle, n - Frequenza / 2, Frequenza / 2, minimo, massimo);
    for (qsizetype k = 1; k <= 5 && fine.correlazione <= Somiglianza; ++k)
        fine = Confronto::Cerca(r, m_bolle, n - k * tratto, tratto, minimo, massimo);
    return fine;
}

bool tst_FinestraWine::AttendiDipinta()
{
    return QTest::qWaitFor(
        [&] {
            Misura();
            return m_esterno.width() == Px(LarghezzaClient)
                && Colore(QPoint(Px(LarghezzaClient) - 1, Px(AltezzaClient) - 1)) == ColoreSfondo
                && Colore(QPoint(Px(LarghezzaClient) - 1, -1)) != ColoreSfondo
                && Colore(Rettangolo("imgContenitore").center()) == ColoreAcqua;
        },
        30000);
}

bool tst_FinestraWine::AttendiMenu(QPoint voce, const QImage& prima)
{
    const QRect sotto(voce.x(), m_client.top() + 4, Px(900), Px(300));
    return QTest::qWaitFor(
        [&] { return m_scrivania.schermata(sotto) != prima.copy(sotto); }, 10000);
}

QRect tst_FinestraWine::Diversi(
    const QImage& schermata, const QRect& zona, const QImage& prima, const QColor& colore) const
{
    const QImage dopo = schermata.convertToFormat(QImage::Format_RGB32);
    const QImage confronto = prima.isNull() ? prima : prima.convertToFormat(QImage::Format_RGB32);
    QRect trovati;
    const QRgb fisso = colore.rgb();
    for (int y = zona.top(); y <= zona.bottom(); ++y) {
        const QPoint inizio = Schermo(QPoint(0, y));
        const auto* riga = reinterpret_cast<const QRgb*>(dopo.constScanLine(inizio.y()));
        const auto* prec = confronto.isNull()
            ? nullptr
            : reinterpret_cast<const QRgb*>(confronto.constScanLine(inizio.y()));
        for (int x = zona.left(); x <= zona.right(); ++x) {
            const int sx = inizio.x() + x;
            if ((riga[sx] & 0xFFFFFF) != ((prec ? prec[sx] : fisso) & 0xFFFFFF))
                trovati |= QRect(x, y, 1, 1);
        }
    }
    return trovati;
}

double tst_FinestraWine::BordoInferiore(const QRect& pannello) const
{
    const QImage schermata = m_scrivania.schermata();
    int conBordo = 0;
    const int colonne = pannello.width() - 8;
    for (int x = pannello.left() + 4; x < pannello.left() + 4 + colonne; ++x) {
        bool bordo = false;
        for (int y = pannello.bottom() - 2; y <= pannello.bottom() && !bordo; ++y)
            bordo = schermata.pixelColor(Schermo(QPoint(x, y))) != ColorePannello;
        conBordo += bordo;
    }
    return double(conBordo) / colonne;
}

void tst_FinestraWine::cleanupTestCase()
{
    Chiudi();
    m_wine.reset();
}

bool tst_FinestraWine::Avvia()
{
    if (m_programma && m_programma->state() == QProcess::Running)
        return true;
    m_programma = m_wine->Avvia(m_exe);
    if (!m_programma->waitForStarted())
        return Guasto(QStringLiteral("wine did not start: ") + m_programma->errorString());
    m_finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"), 60000);
    if (m_finestra.isEmpty()) {
        // Too long for a failure's message, which QtTest cuts short.
        qInfo().noquote() << m_wine->Racconta(*m_programma) << "\nthe X server's windows:\n"
                          << m_scrivania.elencoFinestre();
        return Guasto(QStringLiteral("the window did not appear (what ran is printed above)"));
    }
    if (!m_scrivania.attendiGestita(m_finestra))
        return Guasto(QStringLiteral("the window manager did not frame it"));
    if (!AttendiDipinta())
        return Guasto(QStringLiteral("the window did not paint its first frame"));
    return true;
}

bool tst_FinestraWine::Guasto(const QString& perche)
{
    m_guasto = perche;
    return false;
}

void tst_FinestraWine::Misura()
{
    m_esterno = m_scrivania.geometria(m_finestra);
    // Wine's X window holds the menu bar and the client area; the frame is openbox's.
    m_client = QRect(m_esterno.left(), m_esterno.bottom() - Px(AltezzaClient) + 1,
        Px(LarghezzaClient), Px(AltezzaClient));
}

bool tst_FinestraWine::CambiaDpi(int dpi)
{
    const PrefissoWine::Esito esito = m_wine->Esegui(m_cambiaDpi, { QString::number(dpi) });
    if (esito.stato != 0)
        return false;
    m_dpi = dpi;
    // The window manager learns the new size after the program has set it.
    return AttendiDipinta();
}

void tst_FinestraWine::Chiudi()
{
    if (!m_programma)
        return;
    if (m_programma->state() != QProcess::NotRunning) {
        m_programma->kill();
        m_programma->waitForFinished(5000);
    }
    m_programma.reset();
    // Wine's own helpers leave with the last program; wait for them before the next start.
    m_wine->AttendiServer();
}

QColor tst_FinestraWine::Colore(QPoint client) const
{
    return m_scrivania.schermata().pixelColor(Schermo(client));
}

double tst_FinestraWine::Quota(const QRect& client, const QColor& colore) const
{
    const QImage schermata = m_scrivania.schermata();
    const QRect r = client.translated(m_client.topLeft());
    int uguali = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            uguali += schermata.pixelColor(x, y) == colore;
    return r.isEmpty() ? 0 : double(uguali) / double(r.width() * r.height());
}

bool tst_FinestraWine::VascaDi(const QColor& colore) const
{
    const QImage schermata = m_scrivania.schermata();
    const QPoint vasca = Rettangolo("imgContenitore").topLeft();
    for (const QPoint& punto : NelLiquido)
        if (schermata.pixelColor(Schermo(vasca + punto)) != colore)
            return false;
    return true;
}

int tst_FinestraWine::RigaDelCorpo() const
{
    // One column of the screen, so that looking takes little from the program that moves.
    const QPoint alto = Schermo(QPoint(ColonnaCorpo, RigaSotto));
    const QImage colonna = m_scrivania.schermata(QRect(alto, QSize(1, RigaFondo - RigaSotto + 1)));
    for (int y = 0; y < colonna.height(); ++y)
        if (colonna.pixelColor(0, y) != ColoreAcqua)
            return RigaSotto + y;
    return -1;
}

QList<QImage> tst_FinestraWine::IconeDellaFinestra() const
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
        { QStringLiteral("-display"), m_scrivania.display(), QStringLiteral("-id"), m_finestra,
            QStringLiteral("-notype"), QStringLiteral("32c"), QStringLiteral("_NET_WM_ICON") });
    xprop.waitForFinished(5000);
    // Width, height, then the pixels as 0xAARRGGBB, for each icon in turn.
    const QString uscita = QString::fromLatin1(xprop.readAllStandardOutput());
    QList<quint32> numeri;
    static const QRegularExpression numero(QStringLiteral("\\d+"));
    for (const QRegularExpressionMatch& m : numero.globalMatch(uscita.section(QLatin1Char('='), 1)))
        numeri << m.captured().toUInt();
    QList<QImage> icone;
    for (qsizetype i = 0; i + 2 <= numeri.size();) {
        const int larghezza = int(numeri[i]);
        const int altezza = int(numeri[i + 1]);
        i += 2;
        if (larghezza <= 0 || altezza <= 0 || i + larghezza * altezza > numeri.size())
            break;
        QImage icona(larghezza, altezza, QImage::Format_ARGB32);
        for (int y = 0; y < altezza; ++y)
            for (int x = 0; x < larghezza; ++x)
                icona.setPixel(x, y, numeri[i++]);
        icone << icona;
    }
    return icone;
}

QList<QPoint> tst_FinestraWine::VociDelMenu() const
{
    // Columns of the menu bar with dark pixels in them, grouped into captions.
    const QImage schermata = m_scrivania.schermata();
    const int alto = m_esterno.top();
    const int basso = m_client.top() - 1;
    QList<QPoint> voci;
    int inizio = -1;
    int ultima = -100;
    for (int x = m_esterno.left(); x < m_esterno.left() + Px(3000); ++x) {
        bool scuro = false;
        for (int y = alto; y <= basso && !scuro; ++y)
            scuro = qGray(schermata.pixel(x, y)) < 96;
        if (!scuro)
            continue;
        if (x - ultima > 6) {
            if (inizio >= 0)
                voci << QPoint((inizio + ultima) / 2, (alto + basso) / 2);
            inizio = x;
        }
        ultima = x;
    }
    if (inizio >= 0)
        voci << QPoint((inizio + ultima) / 2, (alto + basso) / 2);
    return voci;
}

void tst_FinestraWine::Fotografa(const QString& nome) const
{
    m_scrivania.schermata().save(
        m_artefatti.filePath(QStringLiteral("wine-") + nome + QStringLiteral(".png")));
}

void tst_FinestraWine::SalvaRegistrazione(const QVector<float>& r, const QString& nome) const
{
    QByteArray campioni;
    for (const float x : r) {
        const qint16 s = qint16(qBound(-32768.0f, x * 32768.0f, 32767.0f));
        campioni.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
    }
    const auto parola = [](quint32 v, int byte) {
        QByteArray b;
        for (int i = 0; i < byte; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
        return b;
    };
    QFile file(m_artefatti.filePath(QStringLiteral("wine-") + nome + QStringLiteral(".wav")));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("RIFF" + parola(36 + quint32(campioni.size()), 4) + "WAVEfmt " + parola(16, 4)
        + parola(1, 2) + parola(1, 2) + parola(Frequenza, 4) + parola(Frequenza * 2, 4)
        + parola(2, 2) + parola(16, 2) + "data" + parola(quint32(campioni.size()), 4) + campioni);
}

void tst_FinestraWine::Scegli(const char* gruppo, int indice)
{
    m_scrivania.clic(Schermo(Opzione(gruppo, indice)));
}

void tst_FinestraWine::finestraDelProgetto()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    Fotografa(QStringLiteral("01-avvio"));
    QCOMPARE(m_esterno.width(), 474);
    const int menu = m_esterno.height() - 400;
    qInfo("menu bar %d px high", menu);
    QVERIFY2(menu >= 15 && menu <= 30,
        qPrintable(QStringLiteral("%1 px above the client area: not one menu bar").arg(menu)));
    // The background reaches the client area's bottom-right corner, and the tank shows water.
    QCOMPARE(Colore(QPoint(473, 399)), ColoreSfondo);
    QCOMPARE(Colore(QPoint(2, 2)), ColoreSfondo);
    QVERIFY(VascaDi(ColoreAcqua));
    // The panels are hidden.
    QVERIFY(Quota(Rettangolo("Frame3"), ColorePannello) < 0.01);
    QCOMPARE(VociDelMenu().size(), 2);

    // The title bar and the taskbar show the bust as drawn for their sizes, with its
    // transparency, not the large icon scaled down.
    const QList<QImage> icone = IconeDellaFinestra();
    QCOMPARE(icone.size(), 2);
    for (const QImage& icona : icone) {
        const QImage disegno(
            QStringLiteral(IDROVELA_SORGENTI "/resources/hicolor/%1x%1/apps/idrovela.png")
                .arg(icona.width()));
        QVERIFY2(!disegno.isNull(),
            qPrintable(QStringLiteral("an icon of %1 pixels").arg(icona.width())));
        int diversi = 0;
        for (int y = 0; y < icona.height(); ++y)
            for (int x = 0; x < icona.width(); ++x) {
                const QRgb visto = icona.pixel(x, y);
                const QRgb atteso = disegno.pixel(x, y);
                diversi += qAlpha(visto) != qAlpha(atteso)
                    || (qAlpha(atteso) && (visto & 0xFFFFFF) != (atteso & 0xFFFFFF));
            }
        QVERIFY2(diversi == 0,
            qPrintable(QStringLiteral("%1 pixels of the %2-pixel icon differ from the bust")
                           .arg(diversi)
                           .arg(icona.width())));
    }
}

void tst_FinestraWine::ogniLiquidoColoraLaVasca_data()
{
    QTest::addColumn<int>("indice");
    QTest::addColumn<QColor>("colore");

    QTest::newRow("mercury fills it grey") << 1 << ColoreGrigio;
    QTest::newRow("oil fills it yellow-green") << 2 << ColoreOlio;
    QTest::newRow("petrol fills it grey") << 3 << ColoreGrigio;
    QTest::newRow("water fills it light cyan again") << 0 << ColoreAcqua;
}

void tst_FinestraWine::ogniLiquidoColoraLaVasca()
{
    QFETCH(int, indice);
    QFETCH(QColor, colore);
    QVERIFY2(Avvia(), qPrintable(m_guasto));

    Scegli("Option1", indice);

    QTRY_VERIFY_WITH_TIMEOUT(VascaDi(colore), 3000);
    Fotografa(QStringLiteral("02-liquido-%1").arg(indice));
}

void tst_FinestraWine::ferroInAcquaAffondaConLeBolle()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    Scegli("Option1", 0);
    Scegli("Option2", 1);
    // The iron body shows at the surface, above the rows where it will be seen sinking.
    QTRY_VERIFY(Colore(QPoint(ColonnaCorpo, 96)) != ColoreAcqua);
    QCOMPARE(RigaDelCorpo(), -1);
    const QColor ferro = Colore(QPoint(ColonnaCorpo, 96));
    Fotografa(QStringLiteral("03-ferro"));

    std::unique_ptr<Registrazione> registrazione;
    if (!m_sink.isEmpty()) {
        registrazione = std::make_unique<Registrazione>(m_sink + QStringLiteral(".monitor"));
        QVERIFY2(registrazione->Avvia(), qPrintable(registrazione->Errore()));
    }
    const qsizetype primaDelSuono = registrazione ? registrazione->Lunghezza() : 0;
    const QRect ok = Rettangolo("Command1");
    m_scrivania.clic(Schermo(ok.center()));

    // The body goes down the tank, row after row, before the verdict comes.
    QList<int> righe;
    bool fotografata = false;
    QDeadlineTimer scadenza(30000);
    while (!scadenza.hasExpired() && (righe.size() < 3 || RigaDelCorpo() >= 0)
        && !m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda"))) {
        QThread::msleep(5); // a poll interval: a body's step lasts 30 ms
        const int riga = RigaDelCorpo();
        if (riga >= 0 && (righe.isEmpty() || riga != righe.last()))
            righe << riga;
        if (righe.size() == 3 && !fotografata) {
            Fotografa(QStringLiteral("04-discesa"));
            fotografata = true;
        }
    }
    QVERIFY2(righe.size() >= 3,
        qPrintable(QStringLiteral("the body was seen at %1 rows only").arg(righe.size())));
    QVERIFY(std::is_sorted(righe.begin(), righe.end()));

    const QString verdetto = m_scrivania.cercaFinestra(QStringLiteral("Il corpo affonda"), 20000);
    QVERIFY2(!verdetto.isEmpty(), "no verdict appeared");
    Fotografa(QStringLiteral("05-affonda"));
    // Under its verdict the body lies on the floor, 2880 twips below the surface.
    QVERIFY(Colore(QPoint(ColonnaCorpo, 96)) == ColoreAcqua
        && Colore(QPoint(ColonnaCorpo, 96 + 192)) == ferro);
    // The sound plays to its end, and a while of silence follows, before the verdict goes.
    // On a loaded machine the end comes later than the sound's length, after gaps that are
    // silences of their own: the wait is for the end itself.
    if (registrazione) {
        const qsizetype sentito = registrazione->AttendiSuono(primaDelSuono, Silenzio);
        QVERIFY2(sentito >= 0, "nothing plays");
        const qsizetype n = m_bolle.size();
        qsizetype cercato = primaDelSuono;
        qsizetype finito = -1;
        for (qsizetype fine = sentito + n; finito < 0 && fine < sentito + n + 20 * Frequenza;
             fine += Frequenza / 20) {
            QVERIFY(registrazione->AttendiLunghezza(fine));
            const Confronto::Allineamento trovato
                = FineDelleBolle(registrazione->Campioni(), cercato, fine - n);
            if (trovato.correlazione > Somiglianza)
                finito = trovato.posizione + n;
            cercato = qMax(cercato, fine - n - 1);
        }
        if (finito < 0)
            SalvaRegistrazione(registrazione->Campioni(), QStringLiteral("05-bolle-senza-fine"));
        QVERIFY2(finito >= 0, "the end of the bubbling never came");
        QVERIFY2(registrazione->AttendiSilenzio(finito, Frequenza / 2, Silenzio) >= 0,
            "the bubbling does not end");
    }
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    // The reset hides the body.
    QTRY_VERIFY(Colore(QPoint(ColonnaCorpo, 96 + 192)) != ferro);
    QVERIFY(m_programma->state() == QProcess::Running);

    if (!registrazione)
        QSKIP("no sound server to record: tools/test.sh starts one");
    const QVector<float> r = registrazione->Ferma();
    SalvaRegistrazione(r, QStringLiteral("05-bolle-registrate"));
    const qsizetype n = m_bolle.size();
    // Its start and its end, each placed by its first and last half second, or where a gap
    // falls in one, by the first piece of a tenth of a second of it that the recording holds
    // whole.
    const qsizetype tratto = Frequenza / 10;
    Confronto::Allineamento inizio
        = Confronto::Cerca(r, m_bolle, Attacco, Frequenza / 2, 0, r.size());
    for (qsizetype k = 0; k < 5 && inizio.correlazione <= Somiglianza; ++k)
        inizio = Confronto::Cerca(r, m_bolle, Attacco + k * tratto, tratto, 0, r.size());
    QVERIFY2(inizio.correlazione > Somiglianza,
        qPrintable(
            QStringLiteral("the bubbling is not in the recording (%1)").arg(inizio.correlazione)));
    const Confronto::Allineamento fine = FineDelleBolle(r, inizio.posizione - 2, r.size());
    QVERIFY2(fine.correlazione > Somiglianza, "the end of the bubbling is not in the recording");
    const double durataSuono = (fine.Istante() - inizio.Istante() + double(n)) / Frequenza;
    const double somiglianza = Confronto::Somiglianza(r, m_bolle, inizio, Attacco, n - Attacco);
    qInfo("the bubbling played %.3f s of %.3f, likeness %.4f", durataSuono, double(n) / Frequenza,
        somiglianza);
    // Both are there, in order. On a loaded machine Wine's
    // PulseAudio driver now and then runs dry and the rest comes late: a gap that our call
    // cannot make or mend. So the sound is lined up in pieces of a tenth of a second: each
    // lies where the one before it did or later, never earlier, which would be a part played
    // twice; each is the sound's own, but for the one a gap falls in, which then lies between
    // its neighbours.
    const double ritardo = durataSuono * Frequenza - double(n);
    QVERIFY2(ritardo > -2.0,
        qPrintable(QStringLiteral("the sound was not played whole (%1 samples off)").arg(ritardo)));
    if (ritardo < 2.0)
        QVERIFY2(somiglianza > Somiglianza,
            qPrintable(
                QStringLiteral("the recording differs from the sound (%1)").arg(somiglianza)));
    const QVector<Confronto::Allineamento> tratti = Confronto::Tratti(
        r, m_bolle, Attacco, n - Attacco, tratto, inizio.posizione - 2, fine.posizione + 3);
    // The pieces that are the sound's own, in order; between two of them, a run of at most
    // three that are not, across which the sound comes later: a gap fell there.
    QStringList diversi;
    int lacune = 0;
    double ultimo = inizio.Istante();
    qsizetype primoDiverso = -1;
    const auto dopoIDiversi = [&](double dove, qsizetype i) {
        if (dove - ultimo > 1.0)
            ++lacune;
        if (primoDiverso >= 0 && (dove - ultimo <= 1.0 || i - primoDiverso > 3))
            diversi << QStringLiteral("%1 s (%2 pieces)")
                           .arg(double(Attacco + primoDiverso * tratto) / Frequenza, 0, 'f', 1)
                           .arg(i - primoDiverso);
        primoDiverso = -1;
        ultimo = dove;
    };
    for (qsizetype i = 0; i < tratti.size(); ++i) {
        // A piece no louder than the last bit of 8-bit samples has no shape to compare: the
        // sound fades in over its first fifth of a second.
        if (Confronto::Rms(m_bolle.constData() + Attacco + i * tratto, tratto) < Silenzio)
            continue;
        if (tratti[i].correlazione <= Somiglianza) {
            if (primoDiverso < 0)
                primoDiverso = i;
            continue;
        }
        const double dove = tratti[i].Istante();
        QVERIFY2(dove >= ultimo - 1.0,
            qPrintable(QStringLiteral("a part of the sound came again at %1 s")
                           .arg(double(Attacco + i * tratto) / Frequenza)));
        dopoIDiversi(dove, i);
    }
    dopoIDiversi(qMax(ultimo, fine.Istante()), tratti.size());
    qInfo("%d gaps, %.0f samples in all", lacune, ritardo);
    QVERIFY2(diversi.isEmpty(),
        qPrintable(QStringLiteral("parts of the recording differ from the sound: ")
            + diversi.join(QStringLiteral(", "))));
    // Wine 8 ends an 8-bit sound with a click of up to about 10 ms at full scale (a bare
    // sndPlaySoundA call does it too): the silence it fills in is 8-bit silence in a 16-bit
    // stream. Past that, nothing more may sound. Gaps that fall after the last piece placed
    // cannot be measured; they delay the end by what a loaded machine gives, some tenths of a
    // second, where a sound played again or on would last seconds.
    const qsizetype finito = inizio.posizione + n + qsizetype(qMax(0.0, ritardo));
    const qsizetype dopo = finito + (lacune > 0 ? Frequenza / 2 : Frequenza / 20);
    QVERIFY(dopo < r.size());
    qInfo("loudest sample in the 50 ms after the sound: %.3f of full scale",
        double(Confronto::Picco(r.constData() + finito, dopo - finito)));
    QVERIFY2(Confronto::Picco(r.constData() + dopo, r.size() - dopo) < Silenzio,
        "something plays after the sound");
}

void tst_FinestraWine::ghiaccioInAcquaGalleggiaInSilenzio()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    Scegli("Option1", 0);
    Scegli("Option2", 0);
    QTRY_VERIFY(Colore(QPoint(ColonnaCorpo, 96)) != ColoreAcqua);

    std::unique_ptr<Registrazione> registrazione;
    if (!m_sink.isEmpty()) {
        registrazione = std::make_unique<Registrazione>(m_sink + QStringLiteral(".monitor"));
        QVERIFY2(registrazione->Avvia(), qPrintable(registrazione->Errore()));
    }
    const qsizetype primaDelVerdetto = registrazione ? registrazione->Lunghezza() : 0;
    m_scrivania.clic(Schermo(Rettangolo("Command1").center()));
    // No descent before the verdict: the body is never seen below the surface.
    bool scesa = false;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     scesa = scesa || RigaDelCorpo() >= 0;
                     return m_scrivania.finestraEsiste(QStringLiteral("Il corpo galleggia"));
                 },
                 20000),
        "no verdict appeared");
    QVERIFY2(!scesa, "the floating body went down before its verdict");
    // The body floats where it was put, at the surface.
    QVERIFY(Colore(QPoint(ColonnaCorpo, 96)) != ColoreAcqua);
    QCOMPARE(RigaDelCorpo(), -1);
    Fotografa(QStringLiteral("06-galleggia"));
    // A second and a half of the recording under the verdict, where the bubbling would be.
    if (registrazione)
        QVERIFY(registrazione->AttendiLunghezza(primaDelVerdetto + Frequenza * 3 / 2));
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo galleggia")));
    QTRY_COMPARE(Colore(QPoint(ColonnaCorpo, 96)), ColoreAcqua);

    if (!registrazione)
        QSKIP("no sound server to record: tools/test.sh starts one");
    const QVector<float> r = registrazione->Ferma();
    const float picco = Confronto::Picco(r.constData(), r.size());
    qInfo("loudest sample while floating: %.4f of full scale", double(picco));
    QVERIFY2(picco < Silenzio, "a floating body made a sound");
}

void tst_FinestraWine::pannelliSiApronoESiChiudono_data()
{
    QTest::addColumn<QString>("pannello");
    QTest::addColumn<QString>("freccia");
    QTest::addColumn<int>("voce"); // of the menu bar
    QTest::addColumn<bool>("aTendina"); // the entry opens a menu with the command first

    QTest::newRow("File, Idrovela opens the explanation; its arrow closes it")
        << "Frame3"
        << "Command3" << 0 << true;
    QTest::newRow("? opens the information; its arrow closes it") << "Frame4"
                                                                  << "Image1" << 1 << false;
}

void tst_FinestraWine::pannelliSiApronoESiChiudono()
{
    QFETCH(QString, pannello);
    QFETCH(QString, freccia);
    QFETCH(int, voce);
    QFETCH(bool, aTendina);
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    const QRect riquadro = Rettangolo(qPrintable(pannello));
    // The part of the panel that the other one never covers.
    const QRect proprio = pannello == QLatin1String("Frame3")
        ? riquadro.adjusted(0, 0, 0, -(riquadro.bottom() - Rettangolo("Frame4").top() + 1))
        : riquadro;
    QVERIFY(Quota(proprio, ColorePannello) < 0.01);

    const QList<QPoint> voci = VociDelMenu();
    QCOMPARE(voci.size(), 2);
    const QImage primaDelMenu = m_scrivania.schermata();
    m_scrivania.clic(voci[voce]);
    if (aTendina) {
        QVERIFY2(AttendiMenu(voci[voce], primaDelMenu), "the menu did not open");
        Fotografa(QStringLiteral("07-menu-file"));
        m_scrivania.tasto(QStringLiteral("Down"));
        m_scrivania.tasto(QStringLiteral("Return"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(Quota(proprio, ColorePannello) > 0.5, 3000);
    Fotografa(QStringLiteral("08-") + pannello);
    // The frame's border runs whole along its bottom, under the transparent labels too.
    const double bordo = BordoInferiore(riquadro);
    QVERIFY2(bordo > 0.99,
        qPrintable(QStringLiteral("a bottom border along %1 of the panel").arg(bordo)));

    // Held down, the arrow draws a thin border round itself; released, it closes the panel.
    const QRect bottone = Rettangolo(qPrintable(freccia));
    const QPoint angolo = bottone.topLeft();
    QCOMPARE(Colore(angolo), ColorePannello);
    const QPoint centro = Schermo(bottone.center());
    m_scrivania.xdotool({ QStringLiteral("mousemove"), QString::number(centro.x()),
        QString::number(centro.y()), QStringLiteral("mousedown"), QStringLiteral("1") });
    QTRY_VERIFY_WITH_TIMEOUT(qGray(Colore(angolo).rgb()) < 128, 2000);
    Fotografa(QStringLiteral("09-") + freccia + QStringLiteral("-premuto"));
    QVERIFY(Quota(proprio, ColorePannello) > 0.5);
    m_scrivania.xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") });
    QTRY_VERIFY_WITH_TIMEOUT(Quota(proprio, ColorePannello) < 0.01, 3000);
    QVERIFY(VascaDi(ColoreAcqua));
}

void tst_FinestraWine::pannelliDallaTastiera()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    const QRect informazioni = Rettangolo("Frame4");
    const QRect spiegazione = Rettangolo("Frame3").adjusted(
        0, 0, 0, -(Rettangolo("Frame3").bottom() - informazioni.top() + 1));
    const QList<QPoint> voci = VociDelMenu();
    QCOMPARE(voci.size(), 2);
    Scegli("Option1", 0); // the focus is on "Acqua"

    // The information opens with the focus on its arrow, which Return presses; the focus then
    // goes back to the liquids, where Down picks the next one.
    m_scrivania.clic(voci[1]);
    QTRY_VERIFY_WITH_TIMEOUT(Quota(informazioni, ColorePannello) > 0.5, 3000);
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(Quota(informazioni, ColorePannello) < 0.01, 3000);
    m_scrivania.tasto(QStringLiteral("Down"));
    QTRY_VERIFY_WITH_TIMEOUT(VascaDi(ColoreGrigio), 3000);

    // Escape closes the explanation, and the focus is back there too.
    const QImage primaDelMenu = m_scrivania.schermata();
    m_scrivania.clic(voci[0]);
    QVERIFY2(AttendiMenu(voci[0], primaDelMenu), "the menu did not open");
    m_scrivania.tasto(QStringLiteral("Down"));
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(Quota(spiegazione, ColorePannello) > 0.5, 3000);
    m_scrivania.tasto(QStringLiteral("Escape"));
    QTRY_VERIFY_WITH_TIMEOUT(Quota(spiegazione, ColorePannello) < 0.01, 3000);
    m_scrivania.tasto(QStringLiteral("Down"));
    QTRY_VERIFY_WITH_TIMEOUT(VascaDi(ColoreOlio), 3000);
    Fotografa(QStringLiteral("13-tastiera"));
}

void tst_FinestraWine::laChiusuraChiedeConferma()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    // "No" by its letter, and by Alt with it, as the system's own Yes and No answer to theirs.
    for (const QString& no : { QStringLiteral("n"), QStringLiteral("alt+n") }) {
        m_scrivania.clic(m_scrivania.closeBox(m_finestra));
        QVERIFY2(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty(), "nothing asked");
        Fotografa(QStringLiteral("10-uscita"));
        m_scrivania.tasto(no);
        QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Uscita")));
        // Still there, and taking a choice after the answer.
        const bool mercurio = no == QLatin1String("n");
        Scegli("Option1", mercurio ? 1 : 0);
        QTRY_VERIFY_WITH_TIMEOUT(VascaDi(mercurio ? ColoreGrigio : ColoreAcqua), 10000);
        QVERIFY(m_programma->state() == QProcess::Running);
        QVERIFY(m_scrivania.finestraEsiste(QStringLiteral("Idrovela")));
    }
    Fotografa(QStringLiteral("11-rimasto"));

    // "Sì" by its letter ends it at once.
    m_scrivania.clic(m_scrivania.closeBox(m_finestra));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    QElapsedTimer uscita;
    m_scrivania.tasto(QStringLiteral("s"));
    uscita.start();
    QVERIFY2(m_programma->waitForFinished(30000), "the program did not end");
    qInfo("from \"Sì\" to the end: %lld ms", uscita.elapsed());
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_programma->exitCode(), 0);
    QVERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Idrovela")));
    Chiudi();
}

QString tst_FinestraWine::Albero(const QString& passo) const
{
    const PrefissoWine::Esito esito = m_wine->Esegui(m_lettore, { QStringLiteral("albero") });
    const QString albero = QString::fromUtf8(esito.uscita);
    QFile file(m_artefatti.filePath(QStringLiteral("wine-accessibile-") + passo + ".txt"));
    if (file.open(QIODevice::WriteOnly))
        file.write(esito.uscita);
    return albero;
}

// What a screen reader finds of the window and hears from it, through the system's
// accessibility interfaces, over a lesson driven by keys: the program's own objects and
// events, where the focus is, how the frames are stacked, and Return on "OK".
void tst_FinestraWine::perUnLettoreDiSchermo()
{
    Chiudi();
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    std::unique_ptr<QProcess> ascolto = m_wine->Avvia(m_lettore, { QStringLiteral("eventi") });
    QVERIFY(ascolto->waitForStarted());
    QString eventi;
    const auto sentito = [&](const QString& modello) {
        const QByteArray nuovi = ascolto->readAllStandardOutput();
        eventi += QString::fromUtf8(nuovi);
        QFile file(m_artefatti.filePath(QStringLiteral("wine-accessibile-eventi.txt")));
        if (!nuovi.isEmpty() && file.open(QIODevice::Append))
            file.write(nuovi);
        return eventi.contains(QRegularExpression(modello));
    };
    QFile::remove(m_artefatti.filePath(QStringLiteral("wine-accessibile-eventi.txt")));
    QTRY_VERIFY_WITH_TIMEOUT(sentito(QStringLiteral("^pronto")), 10000);

    // At the start the focus is on the first choice; each group box lies above its options,
    // round them; the tank is a graphic and a frame a grouping.
    QString albero = Albero(QStringLiteral("1-avvio"));
    QCOMPARE(Fuoco(albero), QStringLiteral("fuoco: Button \"Acqua\""));
    QVERIFY(albero.contains(QStringLiteral("ruolo=40 \"Vasca con acqua\"")));
    QVERIFY(albero.contains(QStringLiteral("ruolo=20 \"Liquido\"")));
    static const QRegularExpression rettangolo(
        QStringLiteral("\\[(gruppo )?\"[^\"]*\" (-?\\d+),(-?\\d+)-(-?\\d+),(-?\\d+)\\]"));
    for (const QString& gruppo : { QStringLiteral("Liquido"), QStringLiteral("Materiale") }) {
        const QString riga = albero.section(QStringLiteral("impilati in \"") + gruppo, 1, 1)
                                 .section(QLatin1Char('\n'), 0, 0);
        QList<QRegularExpressionMatch> figli;
        for (const QRegularExpressionMatch& m : rettangolo.globalMatch(riga))
            figli << m;
        QCOMPARE(figli.size(), 5);
        QVERIFY2(!figli[0].captured(1).isEmpty(), qPrintable(gruppo + " stacked below: " + riga));
        const auto rect = [](const QRegularExpressionMatch& m) {
            return QRect(QPoint(m.captured(2).toInt(), m.captured(3).toInt()),
                QPoint(m.captured(4).toInt() - 1, m.captured(5).toInt() - 1));
        };
        for (qsizetype i = 1; i < figli.size(); ++i)
            QVERIFY2(rect(figli[0]).contains(rect(figli[i])), qPrintable(riga));
    }

    // Two choices: each says its density, and the one that armed "OK" that it is available.
    Scegli("Option1", 0);
    Scegli("Option2", 1);
    QTRY_VERIFY_WITH_TIMEOUT(
        sentito(QStringLiteral("DESCRIPTIONCHANGE Button client ruolo=\\d+ "
                               "\"Ferro\" descrizione=\"densità 7[.,]86, OK disponibile\"")),
        5000);
    QVERIFY(sentito(QStringLiteral("DESCRIPTIONCHANGE Button client ruolo=\\d+ \"Acqua\" "
                                   "descrizione=\"densità 1\"")));
    QVERIFY(sentito(QStringLiteral("STATECHANGE Button client ruolo=\\d+ \"OK\"")));
    albero = Albero(QStringLiteral("2-scelte"));
    QCOMPARE(Fuoco(albero), QStringLiteral("fuoco: Button \"Ferro\""));
    QVERIFY(
        albero.contains(QRegularExpression(QStringLiteral("\"Ferro\" descrizione=\"densità 7"))));
    QVERIFY(!albero.contains(QStringLiteral("\"Rame\" descrizione")));

    // Tab to "OK" and Return: the run starts, and the focus waits on the tank, which says so.
    m_scrivania.tasto(QStringLiteral("Tab"));
    QTRY_COMPARE_WITH_TIMEOUT(
        Fuoco(Albero(QStringLiteral("3-ok"))), QStringLiteral("fuoco: Button \"OK\""), 5000);
    QVERIFY2(!Albero(QStringLiteral("3-ok")).contains(QStringLiteral("OK disponibile")),
        "\"OK disponibile\" was said again once the focus had left the choice");
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(sentito(QStringLiteral("FOCUS Figura client ruolo=40 \"Vasca con "
                                                    "acqua\" descrizione=\"esperimento avviato\"")),
        5000);
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Il corpo affonda"), 10000).isEmpty());
    albero = Albero(QStringLiteral("4-verdetto"));
    QVERIFY2(!Fuoco(albero).contains(QStringLiteral("Form1")), qPrintable(Fuoco(albero)));
    QVERIFY(!albero.contains(QStringLiteral("esperimento avviato")));

    // The verdict closed, the focus is back on "OK", so that Return runs again.
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    QTRY_COMPARE_WITH_TIMEOUT(Fuoco(Albero(QStringLiteral("5-dopo-il-verdetto"))),
        QStringLiteral("fuoco: Button \"OK\""), 5000);

    // Each panel is a dialog described by its text, its arrow a button; closed, the panel
    // gives the focus back. The explanation from the keys alone: F10, then down into "File"
    // on "Idrovela"; Tab keeps the focus on the arrow while the panel is open, and Return on the
    // arrow closes it.
    for (const char* tasto : { "F10", "Down", "Return" })
        m_scrivania.tasto(QLatin1String(tasto));
    QTRY_VERIFY_WITH_TIMEOUT(sentito(QStringLiteral("FOCUS Figura client ruolo=43 \"Indietro\" "
                                                    "descrizione=\"Un corpo immerso")),
        5000);
    QVERIFY(sentito(QStringLiteral("DIALOGSTART Riquadro client ruolo=18 \"Spiegazione\" "
                                   "descrizione=\"Un corpo immerso in un fluido")));
    albero = Albero(QStringLiteral("6-spiegazione"));
    QCOMPARE(Fuoco(albero), QStringLiteral("fuoco: Figura \"Indietro\""));
    QVERIFY(albero.contains(
        QStringLiteral("ruolo=18 \"Spiegazione\" descrizione=\"Un corpo immerso in un fluido")));
    m_scrivania.tasto(QStringLiteral("Tab"));
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(sentito(QStringLiteral("DIALOGEND Riquadro[^\n]*\n[^\n]*FOCUS Button "
                                                    "client ruolo=\\d+ \"OK\"")),
        5000);
    QCOMPARE(Fuoco(Albero(QStringLiteral("7-spiegazione-chiusa"))),
        QStringLiteral("fuoco: Button \"OK\""));

    // "No" to the exit question: the focus is where it was.
    m_scrivania.clic(m_scrivania.closeBox(m_finestra));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    m_scrivania.tasto(QStringLiteral("n"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Uscita")));
    QTRY_COMPARE_WITH_TIMEOUT(Fuoco(Albero(QStringLiteral("8-dopo-il-no"))),
        QStringLiteral("fuoco: Button \"OK\""), 5000);

    // The information; a screen reader presses its arrow by its default action.
    const QList<QPoint> voci = VociDelMenu();
    QCOMPARE(voci.size(), 2);
    m_scrivania.clic(voci[1]);
    QTRY_VERIFY_WITH_TIMEOUT(sentito(QStringLiteral("FOCUS Figura client ruolo=43 \"Indietro\" "
                                                    "descrizione=\"Scegli il liquido")),
        5000);
    QVERIFY(sentito(QStringLiteral("DIALOGSTART Riquadro client ruolo=18 \"Informazioni\"")));
    QVERIFY2(!sentito(QStringLiteral("FOCUS Form1")), "the bare window had the focus");
    albero = Albero(QStringLiteral("9-informazioni"));
    QCOMPARE(Fuoco(albero), QStringLiteral("fuoco: Figura \"Indietro\""));
    QVERIFY(
        albero.contains(QStringLiteral("ruolo=18 \"Informazioni\" descrizione=\"Scegli il "
                                       "liquido e il materiale, poi premi OK. Software libero")));
    QVERIFY(albero.contains(
        QStringLiteral("ruolo=43 \"Indietro\" descrizione=\"Scegli il liquido e il materiale, "
                       "poi premi OK. Software libero del gruppo Idrovela\" azione=\"Premi\"")));
    QCOMPARE(
        m_wine->Esegui(m_lettore, { QStringLiteral("premi"), QStringLiteral("Indietro") }).stato,
        0);
    QTRY_VERIFY_WITH_TIMEOUT(Quota(Rettangolo("Frame4"), ColorePannello) < 0.01, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(Fuoco(Albero(QStringLiteral("10-informazioni-chiuse"))),
        QStringLiteral("fuoco: Button \"OK\""), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(sentito(QStringLiteral("DIALOGEND Riquadro[^\n]*\n[^\n]*FOCUS Button "
                                                    "client ruolo=\\d+ \"OK\"[^$]*DIALOGEND")),
        5000);

    Chiudi();
    ascolto->waitForFinished(5000);
}

void tst_FinestraWine::esceDuranteUnaDiscesa()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    Scegli("Option1", 0);
    Scegli("Option2", 1);
    QTRY_VERIFY(Colore(QPoint(ColonnaCorpo, 96)) != ColoreAcqua);
    m_scrivania.clic(Schermo(Rettangolo("Command1").center()));
    QTRY_VERIFY(RigaDelCorpo() >= 0); // the body goes down
    m_scrivania.clic(m_scrivania.closeBox(m_finestra));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    Fotografa(QStringLiteral("12-uscita-in-discesa"));
    m_scrivania.tasto(QStringLiteral("Return"));
    // Neither the descent nor the sound holds it back.
    QVERIFY2(m_programma->waitForFinished(30000), "the program did not end");
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_programma->exitCode(), 0);
    QVERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    Chiudi();
}

void tst_FinestraWine::cambioDiScalaDurante()
{
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    Scegli("Option1", 0);
    Scegli("Option2", 1);
    QTRY_VERIFY(Colore(QPoint(ColonnaCorpo, 96)) != ColoreAcqua);
    // The pointer away, so that no control is drawn as hovered.
    m_scrivania.xdotool(
        { QStringLiteral("mousemove"), QStringLiteral("1270"), QStringLiteral("1010") });
    // Until the window stands still with the pointer gone.
    QImage prima = m_scrivania.schermata().copy(m_client);
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QImage ora = m_scrivania.schermata().copy(m_client);
            const bool fermo = ora == prima;
            prima = ora;
            return fermo;
        },
        10000));

    // Moved to a screen at 150 %, the window takes the new scale whole, choices and all.
    QVERIFY(CambiaDpi(144));
    Fotografa(QStringLiteral("21-passato-a-144dpi"));
    QCOMPARE(m_esterno.width(), Px(LarghezzaClient));
    QCOMPARE(Colore(QPoint(Px(LarghezzaClient) - 1, 0)), ColoreSfondo);
    QVERIFY(Colore(QPoint(Px(LarghezzaClient) - 1, -1)) != ColoreSfondo);
    const QRect sinistra(0, 0, Rettangolo("Frame1").left(), Px(AltezzaClient));
    const QRect vasca = Diversi(m_scrivania.schermata(), sinistra, {}, ColoreSfondo);
    qInfo("tank at 144 dpi %s", qPrintable(Testo(vasca)));
    QVERIFY(Vicini(vasca, Rettangolo("imgContenitore")));
    const QRect ferro = Pixel(1680, 960, CuboFerro);
    QVERIFY(Quota(ferro.adjusted(2, 2, -2, -2), ColoreAcqua) < 0.3);
    QVERIFY(Quota(ferro.translated(0, ferro.height() + 2), ColoreAcqua) > 0.95);

    // Back at 100 %, it is the window it was, pixel for pixel.
    QVERIFY(CambiaDpi(96));
    QCOMPARE(m_scrivania.schermata().copy(m_client).size(), prima.size());
    QTRY_VERIFY2_WITH_TIMEOUT(m_scrivania.schermata().copy(m_client) == prima,
        "the window differs from before its trip to 150 %", 10000);
    Chiudi();
}

void tst_FinestraWine::aOgniScala_data()
{
    QTest::addColumn<int>("dpi");

    QTest::newRow("at 125 %, 120 dpi, pictures and places grow alike") << 120;
    QTest::newRow("at 150 %, 144 dpi, pictures and places grow alike") << 144;
    QTest::newRow("at 175 %, 168 dpi, pictures and places grow alike") << 168;
    QTest::newRow("at 200 %, 192 dpi, the pictures drawn at 2x") << 192;
}

void tst_FinestraWine::aOgniScala()
{
    QFETCH(int, dpi);
    // One prefix for every scale: the next start reads the new setting.
    Chiudi();
    QVERIFY2(m_wine->ImpostaDpi(dpi), qPrintable(m_wine->Errore()));
    m_dpi = dpi;
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    const QString nome = QStringLiteral("20-%1dpi-").arg(dpi);
    Fotografa(nome + QStringLiteral("avvio"));

    // The client area: as wide as the layout, and as high, from the menu bar down.
    QCOMPARE(m_esterno.width(), Px(LarghezzaClient));
    QVERIFY(m_esterno.height() - Px(AltezzaClient) >= 15);
    QCOMPARE(Colore(QPoint(Px(LarghezzaClient) - 1, Px(AltezzaClient) - 1)), ColoreSfondo);
    QCOMPARE(Colore(QPoint(Px(LarghezzaClient) - 1, 0)), ColoreSfondo);
    QVERIFY(Colore(QPoint(Px(LarghezzaClient) - 1, -1)) != ColoreSfondo);

    // The icons at the sizes of this scale, light marble rather than a dark blob.
    const QList<QImage> icone = IconeDellaFinestra();
    QCOMPARE(icone.size(), 2);
    QList<int> lati;
    for (const QImage& icona : icone) {
        lati << icona.width();
        int opachi = 0;
        int scuri = 0;
        for (int y = 0; y < icona.height(); ++y)
            for (int x = 0; x < icona.width(); ++x) {
                const QRgb pixel = icona.pixel(x, y);
                opachi += qAlpha(pixel) > 128;
                scuri += qAlpha(pixel) > 128 && qGray(pixel) < 64;
            }
        qInfo("icon of %d pixels: %d opaque, %d dark", icona.width(), opachi, scuri);
        QVERIFY(opachi > icona.width() * icona.height() / 4 && scuri < opachi / 20);
    }
    std::sort(lati.begin(), lati.end());
    QCOMPARE(lati, QList<int>({ 16 * dpi / 96, 32 * dpi / 96 }));

    // The tank: all that is not the window's grey left of the group boxes.
    const QRect sinistra(0, 0, Rettangolo("Frame1").left(), Px(AltezzaClient));
    const QRect vasca = Diversi(m_scrivania.schermata(), sinistra, {}, ColoreSfondo);
    const QRect vascaDisegno = Rettangolo("imgContenitore");
    qInfo("tank %s, designed %s", qPrintable(Testo(vasca)), qPrintable(Testo(vascaDisegno)));
    QVERIFY(Vicini(vasca, vascaDisegno));
    // At 200 % the tank is its drawing at 2x pixel for pixel: outlines two pixels thick along
    // smooth curves, not the design picture's pixels doubled into steps.
    if (dpi == 192) {
        const QImage doppio
            = QImage(QStringLiteral(IDROVELA_SORGENTI "/resources/bitmap/contenitore_acqua@2x.png"))
                  .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(doppio.size(), QSize(574, 732));
        const QRect dove(Schermo(vascaDisegno.topLeft()), doppio.size());
        QTRY_VERIFY2_WITH_TIMEOUT(
            m_scrivania.schermata(dove).convertToFormat(QImage::Format_RGB32) == doppio,
            "the tank at 200 % is not the drawing at 2x", 5000);
    }

    // The bodies against the tank: iron, and copper too, whose design place is the floor, show
    // at the surface, where every run starts.
    Scegli("Option1", 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        Quota(Pixel(120, 240, QRect(60, 150, 120, 80)), ColoreAcqua) > 0.99, 3000);
    const QImage senzaCorpo = m_scrivania.schermata();
    const auto corpo = [&](int indice, const QRect& cubo, int top) -> bool {
        const QImage primaDelCorpo = m_scrivania.schermata();
        Scegli("Option2", indice);
        const QRect atteso = Pixel(1680, top, cubo);
        // Until the new body is drawn whole where it is expected, or as it ends up.
        QRect visto;
        const auto alSuoPosto = [&] {
            const QImage ora = m_scrivania.schermata();
            visto = Diversi(ora, vasca, senzaCorpo);
            return Diversi(ora, atteso, primaDelCorpo).isValid()
                && Vicini(
                    visto.translated(-vasca.topLeft()), atteso.translated(-vascaDisegno.topLeft()));
        };
        if (!QTest::qWaitFor(alSuoPosto, 10000))
            qInfo("the body is not drawn where expected");
        qInfo("body %s, designed %s; from the tank's corner (%d, %d), designed (%d, %d)",
            qPrintable(Testo(visto)), qPrintable(Testo(atteso)), visto.left() - vasca.left(),
            visto.top() - vasca.top(), atteso.left() - vascaDisegno.left(),
            atteso.top() - vascaDisegno.top());
        return Vicini(
            visto.translated(-vasca.topLeft()), atteso.translated(-vascaDisegno.topLeft()));
    };
    QVERIFY2(corpo(1, CuboFerro, 960), "iron is not where the design puts it in the surface");
    QVERIFY2(corpo(2, CuboRame, 960), "copper does not show at the surface");

    // The samples at their scaled size, each left of its label.
    const auto campione = [&](const char* img, const char* lbl, QSize pixel) {
        const QRect r = Rettangolo(img);
        const QRect zona(r.left(), r.top(), Px(LarghezzaClient) - r.left(),
            qMin(Px(15 * pixel.height()), Px(AltezzaClient) - r.top()));
        const QImage schermata = m_scrivania.schermata();
        int destra = r.left();
        while (Diversi(schermata, QRect(destra + 1, zona.top(), 1, zona.height()), {}, ColoreSfondo)
                   .isValid())
            ++destra;
        const QRect etichetta = Rettangolo(lbl);
        int testo = etichetta.left();
        while (testo < etichetta.right() && [&] {
            for (int y = etichetta.top(); y <= etichetta.bottom(); ++y)
                if (qGray(schermata.pixel(Schermo(QPoint(testo, y)))) < 128)
                    return false;
            return true;
        }())
            ++testo;
        const int atteso = Px(4560 + 15 * pixel.width()) - 1;
        qInfo(
            "%s: right edge %d, designed %d; its label's text from %d", img, destra, atteso, testo);
        return qAbs(destra - atteso) <= 1 && destra < etichetta.left() && testo > destra + 1
            && testo < etichetta.right();
    };
    QVERIFY2(campione("imgLiquido", "lblPSLiquido", QSize(67, 28)), "the water sample");
    QVERIFY2(campione("imgMateriale", "lblPSMateriale", QSize(62, 61)), "the copper sample");

    // A run of copper, which sinks: the body goes down the tank's axis, from below the surface
    // to the floor, and lies there under the verdict. Only the body is orange there.
    const int colonna = Pixel(1680, 0, QRect(30, 0, 1, 1)).left();
    const QRect asse(QPoint(colonna, Pixel(0, 240, QRect(0, 106, 1, 1)).top()),
        QPoint(colonna, Pixel(0, 240, QRect(0, 303, 1, 1)).bottom()));
    const auto arancio = [](QRgb pixel) { return qRed(pixel) > 200 && qBlue(pixel) < 176; };
    const QRect schermoAsse = asse.translated(m_client.topLeft());
    const auto rigaDelRame = [&] {
        const QImage striscia = m_scrivania.schermata(schermoAsse);
        for (int y = 0; y < striscia.height(); ++y)
            if (arancio(striscia.pixel(0, y)))
                return asse.top() + y;
        return -1;
    };
    QCOMPARE(rigaDelRame(), -1); // at the surface, above the rows looked at
    const int fondo = Pixel(1680, 3840, CuboRame).top();
    m_scrivania.clic(Schermo(Rettangolo("Command1").center()));
    QDeadlineTimer scadenza(30000);
    QList<int> righe;
    bool fotografata = false;
    while (!scadenza.hasExpired() && (righe.isEmpty() || righe.last() < fondo - 1)) {
        QThread::msleep(5); // a poll interval: a body's step lasts 30 ms
        const int riga = rigaDelRame();
        if (riga >= 0 && (righe.isEmpty() || riga != righe.last()))
            righe << riga;
        if (righe.size() == 3 && !fotografata) {
            Fotografa(nome + QStringLiteral("discesa"));
            fotografata = true;
        }
    }
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Il corpo affonda"), 10000).isEmpty());
    qInfo("copper seen at %lld rows, the last %d, under the verdict %d, the floor's row %d",
        righe.size(), righe.isEmpty() ? -1 : righe.last(), rigaDelRame(), fondo);
    QVERIFY(righe.size() >= 3);
    QVERIFY(std::is_sorted(righe.begin(), righe.end()));
    QVERIFY(qAbs(rigaDelRame() - fondo) <= 1);
    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));

    // Both panels, their arrows in their corners and their borders whole.
    const QList<QPoint> voci = VociDelMenu();
    QCOMPARE(voci.size(), 2);
    const QImage primaDelMenu = m_scrivania.schermata();
    m_scrivania.clic(voci[0]);
    QVERIFY2(AttendiMenu(voci[0], primaDelMenu), "the menu did not open");
    m_scrivania.tasto(QStringLiteral("Down"));
    m_scrivania.tasto(QStringLiteral("Return"));
    m_scrivania.clic(voci[1]);
    QTRY_VERIFY_WITH_TIMEOUT(Quota(Rettangolo("Frame4"), ColorePannello) > 0.5, 3000);
    // Both drawn whole, borders and all.
    QTRY_VERIFY_WITH_TIMEOUT(
        BordoInferiore(Rettangolo("Frame3")) > 0.99 && BordoInferiore(Rettangolo("Frame4")) > 0.99,
        10000);
    Fotografa(nome + QStringLiteral("pannelli"));
    for (const char* freccia : { "Command3", "Image1" }) {
        const QRect atteso = Rettangolo(freccia);
        const QRect vista
            = Diversi(m_scrivania.schermata(), atteso.adjusted(-4, -4, 4, 4), {}, ColorePannello);
        qInfo("%s %s, designed %s", freccia, qPrintable(Testo(vista)), qPrintable(Testo(atteso)));
        QVERIFY(atteso.contains(vista) && vista.width() > atteso.width() * 3 / 4);
    }
    Chiudi();
    m_dpi = 96;
    QVERIFY2(m_wine->ImpostaDpi(m_dpi), qPrintable(m_wine->Errore()));
}

SCRIVANIA_MAIN_SCHERMO(tst_FinestraWine, 1280, 1024)

#include "tst_FinestraWine.moc"
