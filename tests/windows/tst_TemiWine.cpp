// SPDX-License-Identifier: GPL-3.0-or-later
#include "Contrasto.h"
#include "Disposizione.h"
#include "PrefissoWine.h"
#include "Scrivania.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

namespace {

constexpr int LarghezzaClient = 7110; // twips
constexpr int AltezzaClient = 6000;
const QColor VetroDellaVasca(0xC0, 0xC0, 0xC0); // the tank picture's grey, above the liquid
const QColor CianoDeiPannelli(192, 255, 255);

// The system's colours of a scheme, as the registry holds them before a program starts.
using Schema = QList<QPair<QString, QString>>;
} // namespace
Q_DECLARE_METATYPE(Schema)
namespace {

const Schema AltoContrastoNero { { "Window", "0 0 0" }, { "WindowText", "255 255 255" },
    { "ButtonFace", "0 0 0" }, { "ButtonText", "255 255 255" }, { "Hilight", "26 235 255" },
    { "HilightText", "0 0 0" }, { "GrayText", "63 242 63" }, { "Menu", "0 0 0" },
    { "MenuText", "255 255 255" }, { "MenuBar", "0 0 0" }, { "MenuHilight", "26 235 255" },
    { "ButtonShadow", "255 255 255" }, { "ButtonHilight", "255 255 255" },
    { "ButtonLight", "255 255 255" }, { "ButtonDkShadow", "255 255 255" },
    { "WindowFrame", "255 255 255" } };
const Schema AltoContrastoBianco { { "Window", "255 255 255" }, { "WindowText", "0 0 0" },
    { "ButtonFace", "255 255 255" }, { "ButtonText", "0 0 0" }, { "Hilight", "55 0 110" },
    { "HilightText", "255 255 255" }, { "GrayText", "96 0 0" }, { "Menu", "255 255 255" },
    { "MenuText", "0 0 0" }, { "MenuBar", "255 255 255" }, { "MenuHilight", "55 0 110" },
    { "ButtonShadow", "0 0 0" }, { "ButtonHilight", "0 0 0" }, { "ButtonLight", "0 0 0" },
    { "ButtonDkShadow", "0 0 0" }, { "WindowFrame", "0 0 0" } };

double Rapporto(QColor a, QColor b)
{
    return Contrasto::Rapporto({ a.red(), a.green(), a.blue() }, { b.red(), b.green(), b.blue() });
}

// What a text or a mark shows over the pixels around it in a rectangle of a screenshot: the
// background is the rectangle's commonest colour, the mark its pixels that stand out from it.
struct Misura {
    QColor sfondo;
    double rapporto = 1; // of the pixel that stands out most
    int pixel = 0; // pixels that stand out at least as much as asked
};

Misura Misurata(const QImage& schermata, const QRect& rettangolo, double minimo)
{
    QHash<QRgb, int> conta;
    for (int y = rettangolo.top(); y <= rettangolo.bottom(); ++y)
        for (int x = rettangolo.left(); x <= rettangolo.right(); ++x)
            ++conta[schermata.pixel(x, y) | 0xFF000000];
    Misura misura;
    int piuComune = 0;
    for (auto it = conta.cbegin(); it != conta.cend(); ++it)
        if (it.value() > piuComune) {
            piuComune = it.value();
            misura.sfondo = QColor(it.key());
        }
    for (auto it = conta.cbegin(); it != conta.cend(); ++it) {
        const double rapporto = Rapporto(QColor(it.key()), misura.sfondo);
        misura.rapporto = qMax(misura.rapporto, rapporto);
        if (rapporto >= minimo)
            misura.pixel += it.value();
    }
    return misura;
}

QString Descrivi(const QString& cosa, const Misura& misura)
{
    return QStringLiteral("%1: %2:1 over %3, %4 pixels")
        .arg(cosa)
        .arg(misura.rapporto, 0, 'f', 2)
        .arg(misura.sfondo.name())
        .arg(misura.pixel);
}

} // namespace

// The Windows program under Wine in High Contrast Black and White, set in the registry before
// it starts and switched while it runs: every text stands out from what lies behind it, the
// choice and the focus show, the pictures keep their colours.
class tst_TemiWine : public QObject {
    Q_OBJECT

public:
    explicit tst_TemiWine(Scrivania& scrivania)
        : m_scrivania(scrivania)
    {
    }

private slots:
    void initTestCase();
    void leggibileDallAvvio_data();
    void leggibileDallAvvio();
    void cambiatoDuranteLaLezione();
    void cleanupTestCase();

private:
    int Px(double twips) const { return int(std::lround(twips * 96 / 1440.0)); }
    // Where a control of the layout lies on the screen.
    QRect Rettangolo(const char* nome, int indice = -1) const;
    bool ImpostaSchema(const Schema& schema);
    // Starts the program and waits for its window, painted; false, with m_guasto saying why,
    // when it did not come.
    bool Avvia();
    bool Guasto(const QString& perche);
    void Chiudi();
    // Waits until the window shows what it was asked to, in the colours of now, and has
    // stopped repainting: a switch of colours repaints control by control, and a screenshot
    // taken halfway shows texts in the old colours over the new. The screenshot in which it
    // did, into vista when given.
    bool AttendiPixel(const std::function<bool(const QImage&)>& condizione, QImage* vista = nullptr,
        int attesaMs = 20000);
    void Verifica(const QImage& schermata, const QString& cosa, const QRect& dove, double minimo,
        int pixel = 12);
    // The window's texts, the chosen option, "OK" and the focus, and a panel's texts.
    void VerificaTutto(const QString& passo, bool altoContrasto);
    void Fotografa(const QImage& schermata, const QString& nome) const;

    Scrivania& m_scrivania;
    std::unique_ptr<PrefissoWine> m_wine;
    std::unique_ptr<QProcess> m_programma;
    QString m_exe;
    QString m_cambiaColori;
    QString m_finestra;
    QString m_guasto; // why Avvia() failed
    QRect m_esterno; // the X window: menu bar and client area
    QRect m_client; // the client area below the menu bar, on the screen
    QDir m_artefatti;
};

void tst_TemiWine::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    QVERIFY2(m_scrivania.avviaWindowManager(), "the window manager did not start");
    m_artefatti = Scrivania::cartellaArtefatti();
    m_exe = qEnvironmentVariable("IDROVELA_EXE");
    QVERIFY2(QFile::exists(m_exe), "IDROVELA_EXE names no built Idrovela.exe");
    m_cambiaColori = QFileInfo(m_exe).dir().filePath(QStringLiteral("bin/CambiaColori.exe"));
    QVERIFY2(QFile::exists(m_cambiaColori), "no CambiaColori.exe beside the built Idrovela.exe");
    m_wine = std::make_unique<PrefissoWine>(m_scrivania.display());
    QVERIFY2(m_wine->Prepara(), qPrintable(m_wine->Errore()));
}

void tst_TemiWine::cleanupTestCase()
{
    Chiudi();
    m_wine.reset();
}

QRect tst_TemiWine::Rettangolo(const char* nome, int indice) const
{
    for (const Disposizione::Riga& riga : Disposizione::Controlli) {
        if (std::strcmp(riga.nome, nome) != 0 || riga.indice != indice)
            continue;
        int left = riga.left;
        int top = riga.top;
        if (riga.contenitore)
            for (const Disposizione::Riga& frame : Disposizione::Controlli)
                if (std::strcmp(frame.nome, riga.contenitore) == 0) {
                    left += frame.left;
                    top += frame.top;
                }
        return QRect(Px(left), Px(top), Px(riga.width), Px(riga.height))
            .translated(m_client.topLeft());
    }
    return {};
}

bool tst_TemiWine::ImpostaSchema(const Schema& schema)
{
    for (const auto& [nome, valore] : schema) {
        const PrefissoWine::Esito esito = m_wine->Esegui(QStringLiteral("reg"),
            { QStringLiteral("add"), QStringLiteral("HKCU\\Control Panel\\Colors"),
                QStringLiteral("/v"), nome, QStringLiteral("/t"), QStringLiteral("REG_SZ"),
                QStringLiteral("/d"), valore, QStringLiteral("/f") });
        if (esito.stato != 0)
            return false;
    }
    return m_wine->AttendiServer();
}

bool tst_TemiWine::Avvia()
{
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
    // Placed by the window manager and painted: the tank shows its glass, "OK" its caption.
    if (!AttendiPixel([&](const QImage& s) {
            m_esterno = m_scrivania.geometria(m_finestra);
            m_client = QRect(m_esterno.left(), m_esterno.bottom() - Px(AltezzaClient) + 1,
                Px(LarghezzaClient), Px(AltezzaClient));
            return s.pixelColor(m_client.topLeft() + QPoint(150, 60)) == VetroDellaVasca
                && Misurata(s, Rettangolo("Command1").adjusted(3, 3, -3, -3), 1.5).pixel >= 12;
        }))
        return Guasto(QStringLiteral("the window did not paint"));
    return true;
}

bool tst_TemiWine::Guasto(const QString& perche)
{
    m_guasto = perche;
    return false;
}

void tst_TemiWine::Chiudi()
{
    if (!m_programma)
        return;
    if (m_programma->state() != QProcess::NotRunning) {
        m_programma->kill();
        m_programma->waitForFinished(5000);
    }
    m_programma.reset();
    m_wine->AttendiServer();
}

bool tst_TemiWine::AttendiPixel(
    const std::function<bool(const QImage&)>& condizione, QImage* vista, int attesaMs)
{
    QImage prima;
    return QTest::qWaitFor(
        [&] {
            QImage schermata = m_scrivania.schermata();
            const bool ferma = schermata == prima;
            prima = std::move(schermata);
            if (!ferma || !condizione(prima))
                return false;
            if (vista)
                *vista = prima;
            return true;
        },
        attesaMs);
}

void tst_TemiWine::Verifica(
    const QImage& schermata, const QString& cosa, const QRect& dove, double minimo, int pixel)
{
    const Misura misura = Misurata(schermata, dove, minimo);
    QVERIFY2(
        misura.rapporto >= minimo && misura.pixel >= pixel, qPrintable(Descrivi(cosa, misura)));
}

void tst_TemiWine::Fotografa(const QImage& schermata, const QString& nome) const
{
    schermata.copy(m_esterno).save(
        m_artefatti.filePath(QStringLiteral("wine-temi-") + nome + QStringLiteral(".png")));
}

void tst_TemiWine::VerificaTutto(const QString& passo, bool altoContrasto)
{
    // Water and iron chosen: both densities show, and the focus is on iron's option.
    const QRect liquido = Rettangolo("lblPSLiquido");
    const QRect materiale = Rettangolo("lblPSMateriale");
    m_scrivania.clic(Rettangolo("Option1", 0).center());
    m_scrivania.clic(Rettangolo("Option2", 1).center());
    const auto cerchio = [&](const QImage& s, const char* gruppo, int indice) {
        const QRect opzione = Rettangolo(gruppo, indice);
        return s.copy(QRect(opzione.left(), opzione.top(), Px(255), opzione.height()));
    };
    QImage schermata;
    QVERIFY2(AttendiPixel(
                 [&](const QImage& s) {
                     return Misurata(s, liquido, 1.2).pixel >= 12
                         && Misurata(s, materiale, 1.2).pixel >= 12
                         && cerchio(s, "Option2", 1) != cerchio(s, "Option2", 2);
                 },
                 &schermata),
        "the choices did not show");
    Fotografa(schermata, passo);

    Verifica(schermata, passo + " lblPSLiquido", liquido, Contrasto::Testo);
    Verifica(schermata, passo + " lblPSMateriale", materiale, Contrasto::Testo);
    // A group's caption, right of the start of its border, from the top of the group down.
    for (const char* gruppo : { "Frame1", "Frame2" }) {
        const QRect frame = Rettangolo(gruppo);
        Verifica(schermata, passo + " " + gruppo,
            QRect(frame.left() + 8, frame.top(), Px(900), Px(225)), Contrasto::Testo, 30);
    }
    for (int indice = 0; indice < 4; ++indice)
        for (const char* gruppo : { "Option1", "Option2" }) {
            const QRect opzione = Rettangolo(gruppo, indice);
            // Its caption, right of its circle, and its circle on the group's face.
            Verifica(schermata, QStringLiteral("%1 %2(%3)").arg(passo, gruppo).arg(indice),
                opzione.adjusted(Px(255), 0, 0, 0), Contrasto::Testo);
            // Under the standard colours Wine's style draws the circles, in its pale grey.
            if (altoContrasto)
                Verifica(schermata,
                    QStringLiteral("%1 %2(%3)'s circle").arg(passo, gruppo).arg(indice),
                    QRect(opzione.left(), opzione.top(), Px(255), opzione.height()),
                    Contrasto::Indicatore, 8);
        }
    // The chosen option's circle against an unchosen one's: its dot stands out.
    const QImage scelto = cerchio(schermata, "Option2", 1);
    const QImage altro = cerchio(schermata, "Option2", 2);
    int punto = 0;
    for (int y = 0; y < scelto.height(); ++y)
        for (int x = 0; x < scelto.width(); ++x)
            punto += Rapporto(scelto.pixelColor(x, y), altro.pixelColor(x, y))
                >= Contrasto::Indicatore;
    QVERIFY2(punto >= 8,
        qPrintable(
            QStringLiteral("%1 the chosen option's dot: %2 pixels at 3:1").arg(passo).arg(punto)));
    Verifica(
        schermata, passo + " OK", Rettangolo("Command1").adjusted(3, 3, -3, -3), Contrasto::Testo);
    // The menu bar's captions.
    Verifica(schermata, passo + " the menu bar",
        QRect(m_esterno.left(), m_esterno.top(), Px(1500), m_client.top() - m_esterno.top()),
        Contrasto::Testo);
    // The pictures keep their own colours.
    QCOMPARE(schermata.pixelColor(m_client.topLeft() + QPoint(150, 60)), VetroDellaVasca);
    const QColor sfondo = schermata.pixelColor(m_client.topLeft() + QPoint(2, 2));
    if (altoContrasto)
        QVERIFY2(sfondo == Qt::black || sfondo == Qt::white, qPrintable(sfondo.name()));
    else
        QCOMPARE(sfondo, QColor(199, 199, 199));

    // The keyboard's focus: Tab goes on to "OK", whose focus frame stands out from its face.
    const QRect ok = Rettangolo("Command1");
    const QImage prima = schermata;
    m_scrivania.tasto(QStringLiteral("Tab"));
    QImage dopo;
    QVERIFY2(AttendiPixel([&](const QImage& s) { return s.copy(ok) != prima.copy(ok); }, &dopo),
        "the focus did not show on OK");
    int fuoco = 0;
    for (int y = ok.top(); y <= ok.bottom(); ++y)
        for (int x = ok.left(); x <= ok.right(); ++x)
            fuoco += dopo.pixel(x, y) != prima.pixel(x, y)
                && Rapporto(dopo.pixelColor(x, y), prima.pixelColor(x, y)) >= Contrasto::Indicatore;
    QVERIFY2(
        fuoco >= 20, qPrintable(QStringLiteral("%1 OK's focus: %2 pixels").arg(passo).arg(fuoco)));

    // The information panel, from the menu bar's command "?": its texts and caption.
    m_scrivania.tasto(QStringLiteral("F10"));
    m_scrivania.tasto(QStringLiteral("Right"));
    m_scrivania.tasto(QStringLiteral("Return"));
    // Open and painted: its texts and its arrow show.
    const QRect frame4 = Rettangolo("Frame4");
    const QRect label3 = Rettangolo("Label3").adjusted(0, 0, 0, -Px(300));
    const QRect label2 = Rettangolo("Label2").adjusted(0, 0, -Px(600), 0);
    const QRect freccia = Rettangolo("Image1").adjusted(4, 4, -4, -4);
    QImage pannello;
    QVERIFY2(AttendiPixel(
                 [&](const QImage& s) {
                     // Over what lay there: the panel's face behind its texts, and the
                     // arrow's own cyan round it, whatever the colours.
                     const QColor faccia = s.pixelColor(frame4.bottomLeft() + QPoint(4, -4));
                     const Misura testo3 = Misurata(s, label3, 1.5);
                     const Misura testo2 = Misurata(s, label2, 1.5);
                     const Misura arco = Misurata(s, freccia, 1.5);
                     return testo3.sfondo == faccia && testo3.pixel >= 100
                         && testo2.sfondo == faccia && testo2.pixel >= 100
                         && arco.sfondo == CianoDeiPannelli && arco.pixel >= 100;
                 },
                 &pannello),
        "the panel did not open");
    Fotografa(pannello, passo + "-pannello");
    if (altoContrasto)
        Verifica(pannello, passo + " the panel's caption",
            QRect(frame4.left() + 8, frame4.top(), Px(1800), Px(300)), Contrasto::Testo, 30);
    Verifica(pannello, passo + " Label3", label3, Contrasto::Testo);
    Verifica(pannello, passo + " Label2", label2, Contrasto::Testo);
    // The back arrow, inside where its focus frame goes.
    Verifica(pannello, passo + " the back arrow", freccia, Contrasto::Indicatore, 100);
    m_scrivania.tasto(QStringLiteral("Escape"));
    QVERIFY2(AttendiPixel([&](const QImage& s) { return s.copy(label3) != pannello.copy(label3); }),
        "the panel did not close");
}

void tst_TemiWine::leggibileDallAvvio_data()
{
    QTest::addColumn<Schema>("schema");
    QTest::addColumn<bool>("altoContrasto");
    QTest::newRow("standard colours") << Schema() << false;
    QTest::newRow("high contrast black") << AltoContrastoNero << true;
    QTest::newRow("high contrast white") << AltoContrastoBianco << true;
}

void tst_TemiWine::leggibileDallAvvio()
{
    QFETCH(Schema, schema);
    QFETCH(bool, altoContrasto);
    if (!schema.isEmpty())
        QVERIFY(ImpostaSchema(schema));
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    VerificaTutto(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'), altoContrasto);
    Chiudi();
}

// Started in High Contrast Black, then switched to
// the standard colours and to High Contrast White while the window stays open.
void tst_TemiWine::cambiatoDuranteLaLezione()
{
    QVERIFY(ImpostaSchema(AltoContrastoNero));
    QVERIFY2(Avvia(), qPrintable(m_guasto));
    const QPoint angolo = m_client.topLeft() + QPoint(2, 2);
    QCOMPARE(m_scrivania.schermata().pixelColor(angolo), QColor(Qt::black));
    struct Passo {
        int schema;
        QColor sfondo;
        bool altoContrasto;
        const char* nome;
    };
    for (const Passo& passo : { Passo { 0, QColor(199, 199, 199), false, "switched-to-standard" },
             Passo { 2, QColor(Qt::white), true, "switched-to-white" } }) {
        QCOMPARE(m_wine->Esegui(m_cambiaColori, { QString::number(passo.schema) }).stato, 0);
        QVERIFY2(
            AttendiPixel([&](const QImage& s) { return s.pixelColor(angolo) == passo.sfondo; }),
            passo.nome);
        VerificaTutto(QString::fromLatin1(passo.nome), passo.altoContrasto);
    }
    Chiudi();
}

SCRIVANIA_MAIN_SCHERMO(tst_TemiWine, 1024, 768)
#include "tst_TemiWine.moc"
