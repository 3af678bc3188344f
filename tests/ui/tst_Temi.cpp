// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"
#include "Contrasto.h"
#include "Form1.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include <memory>

namespace {

template <typename T = QWidget> T* Controllo(const Form1& form, const char* nome)
{
    T* controllo = form.findChild<T*>(QLatin1String(nome));
    if (!controllo)
        qFatal("no control %s", nome);
    return controllo;
}

Disposizione::Colore Da(QColor colore)
{
    return { colore.red(), colore.green(), colore.blue() };
}

double Rapporto(QColor a, QColor b)
{
    return Contrasto::Rapporto(Da(a), Da(b));
}

// The palettes a pupil's desktop may hand the window: a dark theme as Qt's own dark palettes
// have it, and the two high-contrast schemes of Windows, black and white.
QPalette Tavolozza(QColor finestra, QColor testo, QColor base, QColor evidenza,
    QColor testoEvidenziato, QColor disattivato)
{
    QPalette palette(testo, finestra, finestra.lighter(150), finestra.darker(200),
        finestra.darker(150), testo, testo, base, finestra);
    palette.setColor(QPalette::Highlight, evidenza);
    palette.setColor(QPalette::HighlightedText, testoEvidenziato);
    for (QPalette::ColorRole ruolo : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, ruolo, disattivato);
    return palette;
}

// What a text or a mark shows over the pixels around it in a rectangle of a grab: the
// background is the rectangle's commonest colour, the mark its pixels that stand out from it.
struct Misura {
    QColor sfondo;
    double rapporto = 1; // of the pixel that stands out most
    int pixel = 0; // pixels that stand out at least as much as asked
};

Misura Misurata(const QImage& immagine, QRectF logico, double minimo)
{
    const qreal scala = immagine.devicePixelRatio();
    const QRect rettangolo = QRectF(logico.topLeft() * scala, logico.size() * scala)
                                 .toAlignedRect()
                                 .intersected(immagine.rect());
    QHash<QRgb, int> conta;
    for (int y = rettangolo.top(); y <= rettangolo.bottom(); ++y)
        for (int x = rettangolo.left(); x <= rettangolo.right(); ++x)
            ++conta[immagine.pixel(x, y)];
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

// A label's rectangle above the first picture or line of its panel that lies over it, so that
// only the label's own text is measured.
QRect SoloIlTesto(QWidget* label)
{
    QRect rettangolo = label->geometry();
    for (QWidget* altro : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (altro != label && !qobject_cast<QLabel*>(altro)
            && altro->geometry().intersects(rettangolo))
            rettangolo.setBottom(qMin(rettangolo.bottom(), altro->y() - 1));
    return rettangolo.translated(-label->pos());
}

QString Descrivi(const char* cosa, const Misura& misura)
{
    return QStringLiteral("%1: %2:1 over %3, %4 pixels")
        .arg(QLatin1String(cosa))
        .arg(misura.rapporto, 0, 'f', 2)
        .arg(misura.sfondo.name())
        .arg(misura.pixel);
}

} // namespace

class tst_Temi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void testiLeggibili_data();
    void testiLeggibili();
    void loStatoSiVede_data();
    void loStatoSiVede();
    void ilCambioSiVedeSubito();

private:
    void AggiungiTemi();
    void Verifica(
        const QImage& immagine, const char* cosa, QRectF dove, double minimo, int pixel = 12);

    QPalette m_desktop;
    std::unique_ptr<Form1> m_form;
};

void tst_Temi::initTestCase()
{
    m_desktop = QApplication::palette();
    // Under the desktop theme named in the environment, that theme's own palette is the one
    // tested: a light palette there means the dark theme never reached Qt.
    if (qEnvironmentVariable("QT_QPA_PLATFORMTHEME") == QLatin1String("gtk3")) {
        QVERIFY2(m_desktop.color(QPalette::Window).lightness()
                < m_desktop.color(QPalette::WindowText).lightness(),
            qPrintable(m_desktop.color(QPalette::Window).name()));
    }
}

void tst_Temi::init()
{
    if (QTest::currentDataTag()) {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
    }
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void tst_Temi::cleanup()
{
    m_form.reset();
    QApplication::setPalette(m_desktop);
}

void tst_Temi::AggiungiTemi()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("altoContrasto");
    QTest::newRow("the desktop's theme") << m_desktop << false;
    QTest::newRow("a dark theme") << Tavolozza(QColor(53, 53, 53), QColor(238, 238, 236),
        QColor(45, 45, 45), QColor(21, 83, 158), Qt::white, QColor(145, 145, 144))
                                  << false;
    QTest::newRow("high contrast black") << Tavolozza(
        Qt::black, Qt::white, Qt::black, QColor(26, 235, 255), Qt::black, QColor(63, 242, 63))
                                         << true;
    QTest::newRow("high contrast white") << Tavolozza(
        Qt::white, Qt::black, Qt::white, QColor(55, 0, 110), Qt::white, QColor(96, 0, 0))
                                         << true;
}

void tst_Temi::Verifica(
    const QImage& immagine, const char* cosa, QRectF dove, double minimo, int pixel)
{
    const Misura misura = Misurata(immagine, dove, minimo);
    qInfo("%s", qPrintable(Descrivi(cosa, misura)));
    QVERIFY2(
        misura.rapporto >= minimo && misura.pixel >= pixel, qPrintable(Descrivi(cosa, misura)));
}

void tst_Temi::testiLeggibili_data()
{
    AggiungiTemi();
}

// Every text over what lies behind it, in every theme: the densities on the window, the
// groups' captions and options, "OK", the menu bar, the panels' texts; the pictures stay.
void tst_Temi::testiLeggibili()
{
    QFETCH(QPalette, palette);
    QFETCH(bool, altoContrasto);
    QWidget* client = m_form->centralWidget();
    const bool chiaro = !altoContrasto
        && palette.color(QPalette::Window).lightness()
            > palette.color(QPalette::WindowText).lightness();
    QTest::mouseClick(Controllo<QRadioButton>(*m_form, "Option1_0"), Qt::LeftButton);
    QTest::mouseClick(Controllo<QRadioButton>(*m_form, "Option2_1"), Qt::LeftButton);
    QVERIFY(
        Controllo<QLabel>(*m_form, "lblPSMateriale")->text().startsWith(QStringLiteral("Densità")));

    const QImage finestra = m_form->grab().toImage();
    const QString nome = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    finestra.save(QDir(QDir::tempPath()).filePath("idrovela-temi-" + nome + ".png"));
    const QPoint origine = client->pos();
    const auto in = [&](QWidget* widget, QRect dentro) {
        return QRectF(dentro.translated(widget->mapTo(m_form.get(), QPoint())));
    };
    for (const char* etichetta : { "lblPSLiquido", "lblPSMateriale" }) {
        QWidget* label = Controllo(*m_form, etichetta);
        Verifica(finestra, etichetta, in(label, label->rect()), Contrasto::Testo);
    }
    for (const char* gruppo : { "Frame1", "Frame2" }) {
        auto* frame = Controllo<QGroupBox>(*m_form, gruppo);
        const QFontMetrics metriche(frame->font());
        Verifica(finestra, gruppo,
            in(frame,
                QRect(4, 0, metriche.horizontalAdvance(frame->title()) + 6, metriche.height())),
            Contrasto::Testo);
    }
    for (const char* nomeOpzione : { "Option1_0", "Option1_3", "Option2_1", "Option2_2" }) {
        auto* opzione = Controllo<QRadioButton>(*m_form, nomeOpzione);
        QStyleOptionButton stile;
        stile.initFrom(opzione);
        stile.text = opzione->text();
        const QRect testo
            = opzione->style()->subElementRect(QStyle::SE_RadioButtonContents, &stile, opzione);
        Verifica(finestra, nomeOpzione, in(opzione, testo), Contrasto::Testo);
        const QRect indicatore
            = opzione->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &stile, opzione);
        // A light theme keeps the base style's pale ring, as the window has always shown it.
        if (!chiaro)
            Verifica(finestra, "its indicator", in(opzione, indicatore.adjusted(-2, -2, 2, 2)),
                Contrasto::Indicatore);
    }
    auto* ok = Controllo<QPushButton>(*m_form, "Command1");
    Verifica(finestra, "OK", in(ok, ok->rect().adjusted(3, 3, -3, -3)), Contrasto::Testo);
    QMenuBar* barra = m_form->menuBar();
    for (QAction* voce : barra->actions())
        Verifica(finestra, qPrintable(voce->text()), in(barra, barra->actionGeometry(voce)),
            Contrasto::Testo, 6);
    // The pictures keep their own colours: the glass above the water is the tank's grey.
    QCOMPARE(finestra.pixelColor((origine + QPoint(150, 60)) * finestra.devicePixelRatio()),
        QColor(0xC0, 0xC0, 0xC0));
    if (altoContrasto)
        QCOMPARE(client->palette().color(QPalette::Window), palette.color(QPalette::Window));
    else
        QCOMPARE(client->palette().color(QPalette::Window), QColor(199, 199, 199));

    // The panels: their texts on their own background, their captions too under high contrast;
    // elsewhere a caption keeps the design's red on cyan, as in every theme.
    for (const char* menu : { "mnprince", "mninfo" }) {
        m_form->findChild<QAction*>(QLatin1String(menu))->trigger();
        const QImage pannello = m_form->grab().toImage();
        pannello.save(
            QDir(QDir::tempPath()).filePath("idrovela-temi-" + nome + "-" + menu + ".png"));
        auto* frame = Controllo<QGroupBox>(
            *m_form, menu == QLatin1String("mnprince") ? "Frame3" : "Frame4");
        const QFontMetrics metriche(frame->font());
        const QRect caption(
            4, 0, metriche.horizontalAdvance(frame->title()) + 6, metriche.height());
        if (altoContrasto)
            Verifica(pannello, "the panel's caption", in(frame, caption), Contrasto::Testo);
        else
            QCOMPARE(frame->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        // The black back arrow on what lies around it, under high contrast too.
        QWidget* freccia
            = Controllo(*m_form, menu == QLatin1String("mnprince") ? "Command3" : "Image1");
        Verifica(
            pannello, "the back arrow", in(freccia, freccia->rect()), Contrasto::Indicatore, 100);
        // Under high contrast the panel's border stands out from the window behind it.
        if (altoContrasto) {
            const QPoint bordo = frame->mapTo(m_form.get(), QPoint(frame->width() - 1, 100));
            const qreal scala = pannello.devicePixelRatio();
            const double rapporto = Rapporto(pannello.pixelColor(bordo * scala),
                pannello.pixelColor((bordo + QPoint(1, 0)) * scala));
            qInfo("the panel's border: %.2f:1", rapporto);
            QVERIFY(rapporto >= Contrasto::Indicatore);
        }
        for (QLabel* label : frame->findChildren<QLabel*>())
            Verifica(pannello, qPrintable(label->objectName()), in(label, SoloIlTesto(label)),
                Contrasto::Testo);
    }
}

void tst_Temi::loStatoSiVede_data()
{
    AggiungiTemi();
}

// The chosen option, "OK" enabled and disabled and the keyboard's focus, in every theme.
void tst_Temi::loStatoSiVede()
{
    auto* ok = Controllo<QPushButton>(*m_form, "Command1");
    const QRectF testoOk = QRectF(ok->rect().adjusted(3, 3, -3, -3));
    const QImage disattivato = ok->grab().toImage();
    const Misura spento = Misurata(disattivato, testoOk, 1.5);
    qInfo("%s", qPrintable(Descrivi("OK disabled", spento)));
    QVERIFY2(spento.pixel >= 12, qPrintable(Descrivi("OK disabled", spento)));

    auto* scelta = Controllo<QRadioButton>(*m_form, "Option1_0");
    auto* altra = Controllo<QRadioButton>(*m_form, "Option1_1");
    QTest::mouseClick(scelta, Qt::LeftButton);
    QTest::mouseClick(Controllo<QRadioButton>(*m_form, "Option2_0"), Qt::LeftButton);
    QVERIFY(ok->isEnabled());
    const QImage attivato = ok->grab().toImage();
    Verifica(attivato, "OK enabled", testoOk, Contrasto::Testo);
    QVERIFY(attivato != disattivato);

    // The chosen option's dot against an unchosen option's indicator at the same place.
    QStyleOptionButton stile;
    stile.initFrom(scelta);
    const QPoint centro
        = scelta->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &stile, scelta).center()
        + QPoint(1, 1);
    const QImage si = scelta->grab().toImage();
    const QImage no = altra->grab().toImage();
    const qreal scala = si.devicePixelRatio();
    const double punto = Rapporto(si.pixelColor(centro * scala), no.pixelColor(centro * scala));
    qInfo("the chosen option's dot: %.2f:1", punto);
    QVERIFY2(punto >= Contrasto::Indicatore, qPrintable(QString::number(punto)));

    // The focus frame: what the keyboard's focus adds stands out from what lies behind it.
    for (const char* nome : { "Option1_1", "Command1", "Command3" }) {
        if (nome == QLatin1String("Command3"))
            m_form->findChild<QAction*>(QStringLiteral("mnprince"))->trigger();
        QWidget* widget = Controllo(*m_form, nome);
        widget->setFocus(Qt::TabFocusReason);
        QVERIFY(widget->hasFocus());
        // The focus shows once the keyboard has moved it, as any key that moves it does.
        m_form->setAttribute(Qt::WA_KeyboardFocusChange, false);
        const QImage senza = widget->grab().toImage();
        m_form->setAttribute(Qt::WA_KeyboardFocusChange);
        const QImage con = widget->grab().toImage();
        con.save(QDir(QDir::tempPath())
                     .filePath(QStringLiteral("idrovela-temi-fuoco-%1-%2.png")
                                   .arg(nome, QString::fromLatin1(QTest::currentDataTag()))));
        int aggiunti = 0;
        double massimo = 1;
        for (int y = 0; y < con.height(); ++y)
            for (int x = 0; x < con.width(); ++x) {
                if (con.pixel(x, y) == senza.pixel(x, y))
                    continue;
                const double rapporto = Rapporto(con.pixelColor(x, y), senza.pixelColor(x, y));
                massimo = qMax(massimo, rapporto);
                aggiunti += rapporto >= Contrasto::Indicatore;
            }
        qInfo("%s's focus: %d pixels at %.2f:1 at most", nome, aggiunti, massimo);
        QVERIFY2(aggiunti >= 20, nome);
    }
}

// A theme switched while the lesson runs: the window follows at once, and back again gives
// the very pixels it had.
void tst_Temi::ilCambioSiVedeSubito()
{
    const QImage prima = m_form->grab().toImage();
    QWidget* label = Controllo(*m_form, "lblPSLiquido");
    QTest::mouseClick(Controllo<QRadioButton>(*m_form, "Option1_1"), Qt::LeftButton);
    const QImage scelta = m_form->grab().toImage();
    QApplication::setPalette(Tavolozza(
        Qt::black, Qt::white, Qt::black, QColor(26, 235, 255), Qt::black, QColor(63, 242, 63)));
    QCOMPARE(m_form->centralWidget()->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    const QImage nero = m_form->grab().toImage();
    Verifica(nero, "lblPSLiquido under high contrast",
        QRectF(label->geometry().translated(m_form->centralWidget()->pos())), Contrasto::Testo);
    QApplication::setPalette(m_desktop);
    QCOMPARE(m_form->grab().toImage(), scelta);
    QVERIFY(prima != scelta);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ImpostaAspetto();
    tst_Temi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Temi.moc"
