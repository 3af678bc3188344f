// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"
#include "Figura.h"
#include "Form1.h"
#include "Risorse.h"
#include "Risponditore.h"

#include <QAbstractEventDispatcher>
#include <QButtonGroup>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include <cstdio>

namespace {

template <typename T = QWidget> T* Controllo(const Form1& form, const char* nome)
{
    T* controllo = form.findChild<T*>(QLatin1String(nome));
    if (!controllo)
        qFatal("no control %s", nome);
    return controllo;
}

QWidget* Client(const Form1& form)
{
    return form.centralWidget();
}

// The names of the control that lies frontmost at a point of the client area and of the
// controls that hold it.
QStringList Sotto(const Form1& form, QPoint punto)
{
    QStringList nomi;
    for (QWidget* widget = Client(form)->childAt(punto); widget && widget != Client(form);
         widget = widget->parentWidget())
        if (!widget->objectName().isEmpty())
            nomi << widget->objectName();
    return nomi;
}

// A point of a grabbed image, given in logical pixels, read in its own device pixels.
QColor Pixel(const QImage& immagine, QPoint punto)
{
    const qreal scala = immagine.devicePixelRatio();
    return immagine.pixelColor(
        int(punto.x() * scala + scala / 2), int(punto.y() * scala + scala / 2));
}

void Scegli(const Form1& form, const char* opzione)
{
    QTest::mouseClick(Controllo<QRadioButton>(form, opzione), Qt::LeftButton);
}

// Notes, in the order the application delivers them, the window's repaints with the top of a
// picture at that moment, and the showing of every message box.
class Cronaca : public QObject {
public:
    Cronaca(const Form1& form, const QWidget& figura)
        : m_form(form)
        , m_figura(figura)
    {
    }

    QStringList eventi;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::UpdateRequest && oggetto == &m_form)
            eventi << QStringLiteral("repaint y=%1").arg(m_figura.y());
        else if (evento->type() == QEvent::Show && qobject_cast<QMessageBox*>(oggetto))
            eventi << QStringLiteral("message");
        return false;
    }

private:
    const Form1& m_form;
    const QWidget& m_figura;
};

} // namespace

class tst_Form1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void geometria_data();
    void geometria();
    void finestra();
    void statoIniziale();
    void menu();
    void impilamento_data();
    void impilamento();
    void lineeSopraEtichette();
    void testiVisibiliPerIntero();
    void caratteri_data();
    void caratteri();
    void ordineTab();
    void sceltaConLaTastiera();
    void ferroInAcqua();
    void lUltimoPassoSiVedePrimaDelVerdetto();
    void ghiaccioInAcquaGalleggiaSubito();
    void pannelloDuranteLaDiscesa();
    void pannelliIndipendenti();
    void bordoDelleImageButton_data();
    void bordoDelleImageButton();
    void laFrecciaNonRestaPremuta_data();
    void laFrecciaNonRestaPremuta();
    void campioniAllaLoroMisura();
    void esciDalMenu();
    void chiusuraDallaFinestra();
    void nomiAccessibili();
    void frecciaDallaTastiera_data();
    void frecciaDallaTastiera();
    void escapeChiudeIlPannelloDavanti();
    void sottoIlPannelloITastiNonArrivano();
    void fuocoBenVisibile_data();
    void fuocoBenVisibile();
    void altEvidenziaIlPrimoMenu_data();
    void altEvidenziaIlPrimoMenu();
    void separatoreDecimaleDellUtente_data();
    void separatoreDecimaleDellUtente();
    void quietaQuandoFerma();
    void laVascaPrendeIlColoreDelLiquido_data();
    void laVascaPrendeIlColoreDelLiquido();
    void ilCorpoScendeDavantiAllaVasca();
    void siEsceSubito_data();
    void siEsceSubito();

private:
    std::unique_ptr<Form1> m_form;
};

void tst_Form1::init()
{
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void tst_Form1::geometria_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("contenitore");
    QTest::addColumn<QRect>("rettangolo");

    const QString form = QStringLiteral("Form1");
    QTest::newRow("Frame4") << "Frame4" << form << QRect(73, 116, 329, 169);
    QTest::newRow("Frame3") << "Frame3" << form << QRect(73, 68, 329, 265);
    QTest::newRow("Command1") << "Command1" << form << QRect(304, 256, 161, 25);
    QTest::newRow("Frame1") << "Frame1" << form << QRect(304, 8, 161, 121);
    QTest::newRow("Frame2") << "Frame2" << form << QRect(304, 128, 161, 121);
    QTest::newRow("imgRame") << "imgRame" << form << QRect(112, 256, 64, 64);
    QTest::newRow("imgLegno") << "imgLegno" << form << QRect(112, 64, 64, 64);
    QTest::newRow("imgFerro") << "imgFerro" << form << QRect(112, 64, 64, 64);
    QTest::newRow("imgGhiaccio") << "imgGhiaccio" << form << QRect(112, 64, 64, 64);
    QTest::newRow("lblPSMateriale") << "lblPSMateriale" << form << QRect(368, 360, 105, 25);
    QTest::newRow("lblPSLiquido") << "lblPSLiquido" << form << QRect(376, 304, 97, 25);
    QTest::newRow("imgMateriale") << "imgMateriale" << form << QRect(304, 344, 49, 49);
    QTest::newRow("imgLiquido") << "imgLiquido" << form << QRect(304, 312, 49, 41);
    QTest::newRow("imgContenitore") << "imgContenitore" << form << QRect(8, 16, 287, 366);
    QTest::newRow("Image1") << "Image1"
                            << "Frame4" << QRect(264, 128, 32, 32);
    QTest::newRow("Line2") << "Line2"
                           << "Frame4" << QRect(0, 95, 329, 1);
    QTest::newRow("Line1") << "Line1"
                           << "Frame4" << QRect(0, 95, 329, 2);
    QTest::newRow("Label3") << "Label3"
                            << "Frame4" << QRect(16, 40, 289, 65);
    QTest::newRow("Label2") << "Label2"
                            << "Frame4" << QRect(8, 104, 297, 41);
    QTest::newRow("Command3") << "Command3"
                              << "Frame3" << QRect(264, 224, 32, 32);
    QTest::newRow("Label1") << "Label1"
                            << "Frame3" << QRect(16, 24, 305, 241);
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("Option1(%d)", i)
            << QString("Option1_%1").arg(i) << "Frame1" << QRect(8, 16 + 24 * i, 65, 25);
        QTest::addRow("Option2(%d)", i)
            << QString("Option2_%1").arg(i) << "Frame2" << QRect(8, 16 + 24 * i, 81, 25);
    }
}

void tst_Form1::geometria()
{
    QFETCH(QString, nome);
    QFETCH(QString, contenitore);
    QFETCH(QRect, rettangolo);

    QWidget* controllo = Controllo(*m_form, nome.toLatin1().constData());
    QCOMPARE(controllo->parentWidget()->objectName(), contenitore);
    QCOMPARE(controllo->geometry(), rettangolo);
}

void tst_Form1::finestra()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Idrovela"));
    QCOMPARE(Client(*m_form)->size(), QSize(474, 400));
    QCOMPARE(Client(*m_form)->y(), m_form->menuBar()->height());
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize()); // cannot be resized
    QCOMPARE(Client(*m_form)->palette().color(QPalette::Window), QColor(199, 199, 199));
    QVERIFY(Client(*m_form)->autoFillBackground());
    QVERIFY(!m_form->windowIcon().isNull());
    const QImage icona = m_form->windowIcon().pixmap(128).toImage();
    QCOMPARE(icona, Risorse::Immagine(Risorse::Disegno::Busto).convertToFormat(icona.format()));
}

void tst_Form1::statoIniziale()
{
    const Form1& form = *m_form;
    QVERIFY(!Controllo(form, "Frame3")->isVisible());
    QVERIFY(!Controllo(form, "Frame4")->isVisible());
    for (const char* corpo : { "imgGhiaccio", "imgFerro", "imgRame", "imgLegno" })
        QVERIFY2(!Controllo(form, corpo)->isVisible(), corpo);
    QVERIFY(!Controllo(form, "Command1")->isEnabled());
    const auto* timer = form.findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    QVERIFY(timer);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 30);
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    for (QRadioButton* option : Client(form)->findChildren<QRadioButton*>())
        QVERIFY2(!option->isChecked(), qPrintable(option->objectName()));
    QVERIFY(Controllo<QLabel>(form, "lblPSLiquido")->text().isEmpty());
    QVERIFY(Controllo<QLabel>(form, "lblPSMateriale")->text().isEmpty());
    QVERIFY(Controllo<Figura>(form, "imgLiquido")->picture().isNull());
    QVERIFY(Controllo<Figura>(form, "imgMateriale")->picture().isNull());
    // The water tank, drawn for the screen's scale and covering the design size.
    const QImage vasca = Controllo<Figura>(form, "imgContenitore")->picture().toImage();
    QCOMPARE(vasca, Risorse::Bitmap(101, form.devicePixelRatioF()).convertToFormat(vasca.format()));
    QCOMPARE(vasca.deviceIndependentSize(), QSizeF(287, 366));
    QCOMPARE(form.esperimento().Stato().NumScelte, 0);
    for (const char* bottone : { "Command3", "Image1" }) {
        QCOMPARE(Controllo(form, bottone)->toolTip(), QStringLiteral("Indietro"));
        QCOMPARE(Controllo<Figura>(form, bottone)->borderStyle(), 0);
    }
}

void tst_Form1::menu()
{
    const QList<QAction*> barra = m_form->menuBar()->actions();
    QCOMPARE(barra.size(), 2);
    QCOMPARE(barra[0]->text(), QStringLiteral("File"));
    QVERIFY(barra[0]->menu());
    QCOMPARE(barra[1]->text(), QStringLiteral("?"));
    QVERIFY(!barra[1]->menu()); // a command on the bar itself
    const QList<QAction*> file = barra[0]->menu()->actions();
    QCOMPARE(file.size(), 3);
    QCOMPARE(file[0]->text(), QStringLiteral("Idrovela"));
    QVERIFY(file[1]->isSeparator());
    QCOMPARE(file[2]->text(), QStringLiteral("Esci"));
    for (QAction* voce : barra + file) {
        QVERIFY(!voce->text().contains('&')); // no access keys
        QVERIFY(voce->isEnabled() && voce->isVisible());
    }
}

void tst_Form1::impilamento_data()
{
    QTest::addColumn<bool>("spiegazione");
    QTest::addColumn<bool>("informazioni");
    QTest::addColumn<QPoint>("punto");
    QTest::addColumn<QString>("sopra");

    QTest::newRow("closed panels leave the tank bare")
        << false << false << QPoint(100, 150) << "imgContenitore";
    QTest::newRow("closed panels leave the options bare")
        << false << false << QPoint(320, 100) << "Option1_3";
    QTest::newRow("the explanation covers the tank")
        << true << false << QPoint(100, 150) << "Label1";
    QTest::newRow("the explanation covers the left of a group")
        << true << false << QPoint(390, 100) << "Frame3";
    QTest::newRow("the right of a group shows past the panel")
        << true << false << QPoint(420, 100) << "Frame1";
    QTest::newRow("the explanation covers the left of OK")
        << true << false << QPoint(380, 268) << "Frame3";
    QTest::newRow("the right of OK shows past the panel")
        << true << false << QPoint(430, 268) << "Command1";
    QTest::newRow("the information lies over the explanation")
        << true << true << QPoint(390, 200) << "Frame4";
    QTest::newRow("above the information band the explanation shows")
        << true << true << QPoint(390, 100) << "Frame3";
    QTest::newRow("below the information band the explanation shows")
        << true << true << QPoint(390, 300) << "Frame3";
    QTest::newRow("the back arrow of the information panel")
        << true << true << QPoint(73 + 264 + 16, 116 + 128 + 16) << "Image1";
}

void tst_Form1::impilamento()
{
    QFETCH(bool, spiegazione);
    QFETCH(bool, informazioni);
    QFETCH(QPoint, punto);
    QFETCH(QString, sopra);

    Controllo(*m_form, "Frame3")->setVisible(spiegazione);
    Controllo(*m_form, "Frame4")->setVisible(informazioni);
    QVERIFY2(Sotto(*m_form, punto).contains(sopra), qPrintable(Sotto(*m_form, punto).join(' ')));
}

void tst_Form1::lineeSopraEtichette()
{
    // Lines let clicks through, so their stacking shows in the order of the frame's children.
    const QObjectList figli = Controllo(*m_form, "Frame4")->children();
    const auto posizione
        = [&](const char* nome) { return figli.indexOf(Controllo(*m_form, nome)); };
    for (const char* linea : { "Line1", "Line2" })
        for (const char* etichetta : { "Label2", "Label3" })
            QVERIFY2(posizione(linea) > posizione(etichetta), linea);
    QVERIFY(posizione("Line2") > posizione("Line1"));
    QVERIFY(posizione("Image1") > posizione("Line2"));

    // Every body lies in front of the tank.
    Scegli(*m_form, "Option2_1");
    QCOMPARE(Sotto(*m_form, QPoint(144, 96)), QStringList { "imgFerro" });
}

void tst_Form1::testiVisibiliPerIntero()
{
    for (auto* option : Client(*m_form)->findChildren<QRadioButton*>()) {
        QStyleOptionButton stile;
        stile.initFrom(option);
        stile.text = option->text();
        const QRect testo
            = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &stile, option);
        QVERIFY2(option->fontMetrics().horizontalAdvance(option->text()) <= testo.width(),
            qPrintable(option->text()));
    }
    auto* ok = Controllo<QPushButton>(*m_form, "Command1");
    QVERIFY(ok->sizeHint().width() <= ok->width() && ok->sizeHint().height() <= ok->height());
    for (auto* frame : Client(*m_form)->findChildren<QGroupBox*>()) {
        const int larghezza = frame->fontMetrics().horizontalAdvance(frame->title());
        QVERIFY2(larghezza + 12 <= frame->width(), qPrintable(frame->objectName()));
    }
    for (auto* label : Client(*m_form)->findChildren<QLabel*>()) {
        const QRect testo = label->fontMetrics().boundingRect(
            label->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft, label->text());
        QVERIFY2(testo.height() <= label->height(), qPrintable(label->objectName()));
    }
    // The density texts are set later: the widest must fit too.
    auto* etichetta = Controllo<QLabel>(*m_form, "lblPSMateriale");
    QVERIFY(etichetta->fontMetrics().horizontalAdvance("Densità = 0,92") <= etichetta->width());
}

void tst_Form1::caratteri_data()
{
    QTest::addColumn<QString>("controllo");
    QTest::addColumn<qreal>("punti");
    QTest::addColumn<bool>("grassetto");

    QTest::newRow("an option speaks in the 8-point dialog font") << "Option1_0" << 8.0 << false;
    QTest::newRow("a panel's caption is 12-point bold") << "Frame3" << 12.0 << true;
    QTest::newRow("a panel's text is 14.25-point") << "Label3" << 14.25 << false;
}

void tst_Form1::caratteri()
{
    QFETCH(QString, controllo);
    QFETCH(qreal, punti);
    QFETCH(bool, grassetto);

    // The family named is an installed one, and the text is really drawn in it.
    QVERIFY(QFontDatabase::families().contains(FamigliaArial()));
    const QWidget* widget = Controllo(*m_form, controllo.toLatin1().constData());
    const QFontInfo info(widget->font());
    QCOMPARE(info.family(), FamigliaArial());
    QCOMPARE(info.bold(), grassetto);
    QCOMPARE(widget->font().pointSizeF(), punti);
}

void tst_Form1::ordineTab()
{
    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_1"); // "OK" is armed, so it takes part in the order too
    Controllo(*m_form, "Option1_0")->setFocus();
    QStringList ordine { QApplication::focusWidget()->objectName() };
    for (int passo = 0; passo < 3; ++passo) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ordine << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(ordine, QStringList({ "Option1_0", "Option2_1", "Command1", "Option1_0" }));
}

void tst_Form1::sceltaConLaTastiera()
{
    Controllo(*m_form, "Option1_0")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Option1_1"));
    QVERIFY(Controllo<QRadioButton>(*m_form, "Option1_1")->isChecked());
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 2); // an arrow key chooses, as a click
    QCOMPARE(m_form->esperimento().Stato().DensitaLiquido, 13.6);
    QVERIFY(!Controllo(*m_form, "Command1")->isEnabled()); // two liquids are no experiment

    Scegli(*m_form, "Option2_3");
    QVERIFY(Controllo(*m_form, "Command1")->isEnabled());
    Controllo(*m_form, "Command1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    auto* timer = m_form->findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    QVERIFY(timer->isActive());
    // The run keeps the focus on the tank, not on a choice; after the verdict it is on "OK",
    // so that the same key runs again.
    QCOMPARE(QApplication::focusWidget(), Controllo(*m_form, "imgContenitore"));
    Risponditore risponditore;
    QTRY_COMPARE(risponditore.visti.size(), 1);
    // Where the focus goes once the window is active again.
    QTRY_COMPARE(m_form->focusWidget(), Controllo(*m_form, "Command1"));
    QTest::keyClick(m_form->focusWidget(), Qt::Key_Space);
    QVERIFY(timer->isActive());
    QTRY_COMPARE(risponditore.visti.size(), 2);
}

void tst_Form1::ferroInAcqua()
{
    Risponditore risponditore;
    auto* ferro = Controllo<Figura>(*m_form, "imgFerro");
    auto* timer = m_form->findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    QList<int> posizioni;
    QList<bool> okDurante;
    connect(timer, &QTimer::timeout, this, [&] {
        posizioni << ferro->y();
        okDurante << Controllo(*m_form, "Command1")->isEnabled();
    });
    risponditore.prima = [&](QMessageBox*) {
        QVERIFY(!timer->isActive());
        QVERIFY(ferro->isVisible());
        QCOMPARE(ferro->y(), 256); // on the floor under the verdict
    };

    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_1");
    QVERIFY(ferro->isVisible());
    QCOMPARE(Controllo<QLabel>(*m_form, "lblPSLiquido")->text().left(9), "Densità= ");
    QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    QVERIFY(timer->isActive());
    QVERIFY(!Controllo(*m_form, "Command1")->isEnabled());

    QTRY_COMPARE_WITH_TIMEOUT(risponditore.visti.size(), 1, 10000);
    QCOMPARE(risponditore.visti[0].titolo, QStringLiteral("Il corpo affonda"));
    QCOMPARE(risponditore.visti[0].testo,
        QStringLiteral("Il corpo affonda perché la sua densità è maggiore di quella del liquido"));
    QCOMPARE(risponditore.visti[0].icona, QMessageBox::NoIcon);
    QCOMPARE(risponditore.visti[0].bottoni, QStringList { "OK" });
    QVERIFY(!risponditore.visti[0].iconeSuiBottoni);
    QTRY_VERIFY(Controllo(*m_form, "Command1")->isEnabled());

    QCOMPARE(posizioni.size(), 58);
    for (int tick = 1; tick <= 57; ++tick)
        QCOMPARE(posizioni[tick - 1], qRound((960 + 50 * tick) / 15.0));
    QCOMPARE(posizioni.last(), 64);
    QVERIFY(!okDurante.mid(0, 57).contains(true));
    QVERIFY(!ferro->isVisible());
    QCOMPARE(ferro->x(), 112);
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 0);
    QVERIFY(!timer->isActive());
}

void tst_Form1::lUltimoPassoSiVedePrimaDelVerdetto()
{
    // The body's last place, on the floor, is painted before the verdict is built, not while
    // the message box opens: building it takes longer than a tick.
    Risponditore risponditore;
    Cronaca cronaca(*m_form, *Controllo(*m_form, "imgFerro"));
    qApp->installEventFilter(&cronaca);
    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_1");
    QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(risponditore.visti.size(), 1, 10000);
    qApp->removeEventFilter(&cronaca);

    const qsizetype messaggio = cronaca.eventi.indexOf(QStringLiteral("message"));
    QVERIFY2(messaggio > 0, qPrintable(cronaca.eventi.join(QLatin1Char(','))));
    QCOMPARE(cronaca.eventi.at(messaggio - 1), QStringLiteral("repaint y=256"));
}

void tst_Form1::ghiaccioInAcquaGalleggiaSubito()
{
    Risponditore risponditore;
    auto* ghiaccio = Controllo<Figura>(*m_form, "imgGhiaccio");
    risponditore.prima = [&](QMessageBox*) {
        QVERIFY(ghiaccio->isVisible());
        QCOMPARE(ghiaccio->y(), 64);
    };
    QElapsedTimer orologio;
    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_0");
    orologio.start();
    QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    QTRY_COMPARE(risponditore.visti.size(), 1);
    QVERIFY(orologio.elapsed() < 1000); // at once, not after a descent
    QCOMPARE(risponditore.visti[0].titolo, QStringLiteral("Il corpo galleggia"));
    QCOMPARE(risponditore.visti[0].testo,
        QStringLiteral("Il corpo galleggia perché la sua densità è minore di quella del liquido"));
    QTRY_VERIFY(!ghiaccio->isVisible());
    QVERIFY(Controllo(*m_form, "Command1")->isEnabled());
}

void tst_Form1::pannelloDuranteLaDiscesa()
{
    Risponditore risponditore;
    Scegli(*m_form, "Option1_2");
    Scegli(*m_form, "Option2_2");
    QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    const int inizio = Controllo(*m_form, "imgRame")->y();
    QTRY_VERIFY(Controllo(*m_form, "imgRame")->y() > inizio); // the descent is under way
    m_form->findChild<QAction*>(QStringLiteral("mnprince"))->trigger();
    QVERIFY(Controllo(*m_form, "Frame3")->isVisible());
    QVERIFY(m_form->findChild<QTimer*>(QStringLiteral("tmrDiscesa"))->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(risponditore.visti.size(), 1, 10000);
    QCOMPARE(risponditore.visti[0].titolo, QStringLiteral("Il corpo affonda"));
    QVERIFY(Controllo(*m_form, "Frame3")->isVisible());
}

void tst_Form1::pannelliIndipendenti()
{
    auto* mnprince = m_form->findChild<QAction*>(QStringLiteral("mnprince"));
    auto* mninfo = m_form->findChild<QAction*>(QStringLiteral("mninfo"));
    mninfo->trigger();
    mnprince->trigger();
    mnprince->trigger(); // opening an open panel changes nothing
    QVERIFY(Controllo(*m_form, "Frame3")->isVisible());
    QVERIFY(Controllo(*m_form, "Frame4")->isVisible());
    QVERIFY(Sotto(*m_form, QPoint(390, 200)).contains("Frame4"));

    QTest::mouseClick(Controllo(*m_form, "Image1"), Qt::LeftButton);
    QVERIFY(!Controllo(*m_form, "Frame4")->isVisible());
    QVERIFY(Controllo(*m_form, "Frame3")->isVisible());
    QTest::mouseClick(Controllo(*m_form, "Command3"), Qt::LeftButton);
    QVERIFY(!Controllo(*m_form, "Frame3")->isVisible());
}

void tst_Form1::bordoDelleImageButton_data()
{
    QTest::addColumn<QString>("bottone");
    QTest::addColumn<QString>("pannello");
    QTest::addColumn<int>("tasto");

    QTest::newRow("left button on the explanation's arrow") << "Command3"
                                                            << "Frame3" << int(Qt::LeftButton);
    QTest::newRow("right button on the information's arrow") << "Image1"
                                                             << "Frame4" << int(Qt::RightButton);
}

void tst_Form1::bordoDelleImageButton()
{
    QFETCH(QString, bottone);
    QFETCH(QString, pannello);
    QFETCH(int, tasto);

    m_form->findChild<QAction*>(QStringLiteral("mnprince"))->trigger();
    m_form->findChild<QAction*>(QStringLiteral("mninfo"))->trigger();
    auto* figura = Controllo<Figura>(*m_form, bottone.toLatin1().constData());
    const QImage prima = figura->grab().toImage();

    QTest::mousePress(figura, Qt::MouseButton(tasto));
    QCOMPARE(figura->borderStyle(), 1);
    const QImage premuto = figura->grab().toImage();
    QVERIFY(Controllo(*m_form, pannello.toLatin1().constData())->isVisible());
    QCOMPARE(Pixel(premuto, { 0, 0 }), QColor(Qt::black)); // the thin border shows
    QCOMPARE(Pixel(premuto, { 31, 16 }), QColor(Qt::black));
    QVERIFY(Pixel(premuto, { 1, 1 }) != QColor(Qt::black)); // and is one pixel wide

    QTest::mouseRelease(figura, Qt::MouseButton(tasto));
    QCOMPARE(figura->borderStyle(), 0);
    const bool click = tasto == Qt::LeftButton;
    QCOMPARE(Controllo(*m_form, pannello.toLatin1().constData())->isVisible(), !click);
    if (!click)
        QCOMPARE(figura->grab().toImage(), prima);
}

void tst_Form1::laFrecciaNonRestaPremuta_data()
{
    QTest::addColumn<QString>("come");
    QTest::newRow("a verdict opens while the arrow is held, and takes the release") << "verdetto";
    QTest::newRow("another button was held while a box came and went") << "scatola";
    QTest::newRow("a menu opened from the keyboard while the arrow is held takes the release")
        << "menu";
}

// Through the window, as the windowing system delivers them, the arrow sometimes never hears
// of a release: then it must not keep its pressed look, nor take a click that it was not given.
void tst_Form1::laFrecciaNonRestaPremuta()
{
    QFETCH(QString, come);

    QWindow* finestra = m_form->windowHandle();
    auto* freccia = Controllo<Figura>(*m_form, "Image1");
    m_form->findChild<QAction*>(QStringLiteral("mninfo"))->trigger();
    const QPoint sullaFreccia = freccia->mapTo(m_form.get(), QPoint(16, 16));
    const QPoint sullaVasca
        = Controllo(*m_form, "imgContenitore")->mapTo(m_form.get(), QPoint(30, 300));

    if (come == QLatin1String("verdetto")) {
        Risponditore risponditore;
        // The pupil lets go while the box is open, then answers it.
        risponditore.prima = [&](QMessageBox*) {
            QTest::mouseRelease(finestra, Qt::LeftButton, Qt::NoModifier, sullaFreccia);
        };
        Scegli(*m_form, "Option1_0");
        Scegli(*m_form, "Option2_0"); // ice floats: the verdict comes on the first tick
        QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
        QTest::mousePress(finestra, Qt::LeftButton, Qt::NoModifier, sullaFreccia);
        QCOMPARE(freccia->borderStyle(), 1);
        QTRY_COMPARE(risponditore.visti.size(), 1);
    } else if (come == QLatin1String("menu")) {
        QTest::mousePress(finestra, Qt::LeftButton, Qt::NoModifier, sullaFreccia);
        QTest::keyClick(finestra, Qt::Key_Alt);
        QTest::keyClick(finestra, Qt::Key_Down);
        QVERIFY(QApplication::activePopupWidget());
        QTest::mouseRelease(finestra, Qt::LeftButton, Qt::NoModifier, sullaFreccia);
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
        QTest::keyClick(finestra, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents();
    } else {
        // The right button is held on the tank while a box comes and goes; then a left click
        // on the arrow.
        QTest::mousePress(finestra, Qt::RightButton, Qt::NoModifier, sullaVasca);
        Risponditore risponditore(QStringLiteral("No"));
        QVERIFY(!m_form->close());
        QCOMPARE(risponditore.visti.size(), 1);
        QTest::mouseClick(finestra, Qt::LeftButton, Qt::NoModifier, sullaFreccia);
        QTest::mouseRelease(finestra, Qt::RightButton, Qt::NoModifier, sullaVasca);
    }
    QCOMPARE(freccia->borderStyle(), 0);
    QVERIFY(Controllo(*m_form, "Frame4")->isVisible());

    // And the next click on it works as ever.
    QTest::mouseClick(finestra, Qt::LeftButton, Qt::NoModifier, sullaFreccia);
    QVERIFY(!Controllo(*m_form, "Frame4")->isVisible());
}

void tst_Form1::campioniAllaLoroMisura()
{
    Scegli(*m_form, "Option1_1");
    Scegli(*m_form, "Option2_2");
    QCOMPARE(Controllo(*m_form, "imgLiquido")->geometry(), QRect(304, 312, 67, 25));
    QCOMPARE(Controllo(*m_form, "imgMateriale")->geometry(), QRect(304, 344, 62, 61));
    Scegli(*m_form, "Option1_2");
    Scegli(*m_form, "Option2_0");
    QCOMPARE(Controllo(*m_form, "imgLiquido")->geometry(), QRect(304, 312, 67, 29));
    QCOMPARE(Controllo(*m_form, "imgMateriale")->geometry(), QRect(304, 344, 46, 46));
}

void tst_Form1::esciDalMenu()
{
    auto* mnexit = m_form->findChild<QAction*>(QStringLiteral("mnexit"));
    Risponditore risponditore(QStringLiteral("No"));
    Scegli(*m_form, "Option1_0");
    mnexit->trigger();
    QCOMPARE(risponditore.visti.size(), 1);
    const MessaggioVisto& domanda = risponditore.visti[0];
    QCOMPARE(domanda.titolo, QStringLiteral("Uscita"));
    QCOMPARE(domanda.testo, QStringLiteral("Sei sicuro di voler uscire?"));
    QCOMPARE(domanda.icona, QMessageBox::Question);
    QCOMPARE(domanda.bottoni, QStringList({ "Sì", "No" }));
    QCOMPARE(domanda.predefinito, QStringLiteral("Sì"));
    QVERIFY(!domanda.iconeSuiBottoni);
    QVERIFY(m_form->isVisible()); // "No" from the menu does nothing
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 1);
}

void tst_Form1::chiusuraDallaFinestra()
{
    Risponditore risponditore(QStringLiteral("No"));
    Scegli(*m_form, "Option1_1");
    Scegli(*m_form, "Option2_3");
    m_form->findChild<QAction*>(QStringLiteral("mninfo"))->trigger();
    QVERIFY(!m_form->close());
    QCOMPARE(risponditore.visti.size(), 1);
    QCOMPARE(risponditore.visti[0].titolo, QStringLiteral("Uscita"));
    // The window stays, with all its state.
    QVERIFY(m_form->isVisible());
    QVERIFY(Controllo(*m_form, "Frame4")->isVisible());
    QVERIFY(Controllo(*m_form, "imgLegno")->isVisible());
    QVERIFY(Controllo(*m_form, "Command1")->isEnabled());
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 2);
}

void tst_Form1::nomiAccessibili()
{
    Scegli(*m_form, "Option1_1");
    Scegli(*m_form, "Option2_3");
    QCOMPARE(Controllo(*m_form, "imgContenitore")->accessibleName(), "Vasca con mercurio");
    QCOMPARE(Controllo(*m_form, "imgLiquido")->accessibleName(), "Campione di mercurio");
    QCOMPARE(Controllo(*m_form, "imgMateriale")->accessibleName(), "Campione di legno");
    QCOMPARE(Controllo(*m_form, "imgLegno")->accessibleName(), "Corpo di legno");
    QCOMPARE(Controllo(*m_form, "Frame3")->accessibleName(), "Spiegazione");
    QCOMPARE(Controllo(*m_form, "Image1")->accessibleName(), "Indietro");
}

namespace {

QAction* Azione(const Form1& form, const char* nome)
{
    return form.findChild<QAction*>(QLatin1String(nome));
}

// The dark pixels of a grab inside its outer two pixels, where a style may only tint the
// outline: what a focus frame adds, whatever the platform's scale.
int Scuri(const QImage& immagine)
{
    const int bordo = qCeil(2 * immagine.devicePixelRatio());
    int scuri = 0;
    for (int y = bordo; y < immagine.height() - bordo; ++y)
        for (int x = bordo; x < immagine.width() - bordo; ++x)
            scuri += qGray(immagine.pixel(x, y)) < 96;
    return scuri;
}

} // namespace

void tst_Form1::frecciaDallaTastiera_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("pannello");
    QTest::addColumn<QString>("freccia");
    QTest::addColumn<int>("tasto");

    QTest::newRow("Space presses the explanation's arrow") << "mnprince"
                                                           << "Frame3"
                                                           << "Command3" << int(Qt::Key_Space);
    QTest::newRow("Return presses the information's arrow") << "mninfo"
                                                            << "Frame4"
                                                            << "Image1" << int(Qt::Key_Return);
}

void tst_Form1::frecciaDallaTastiera()
{
    QFETCH(QString, menu);
    QFETCH(QString, pannello);
    QFETCH(QString, freccia);
    QFETCH(int, tasto);

    auto* opzione = Controllo(*m_form, "Option2_2");
    opzione->setFocus(Qt::TabFocusReason);
    Azione(*m_form, menu.toLatin1().constData())->trigger();
    auto* figura = Controllo<Figura>(*m_form, freccia.toLatin1().constData());
    QWidget* frame = Controllo(*m_form, pannello.toLatin1().constData());
    QCOMPARE(QApplication::focusWidget(), figura); // the open panel takes the focus

    QTest::keyPress(figura, Qt::Key(tasto));
    QCOMPARE(figura->borderStyle(), 1); // pressed, as by the mouse, while the key is held
    const QImage premuto = figura->grab().toImage();
    QCOMPARE(Pixel(premuto, { 0, 0 }), QColor(Qt::black));
    QVERIFY(frame->isVisible());
    QTest::keyRelease(figura, Qt::Key(tasto));
    QCOMPARE(figura->borderStyle(), 0);
    QVERIFY(!frame->isVisible());
    QCOMPARE(QApplication::focusWidget(), opzione); // back where it was
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 0);

    // Held by the mouse and the key at once, it looks pressed until both let go.
    Azione(*m_form, menu.toLatin1().constData())->trigger();
    QTest::mousePress(figura, Qt::LeftButton);
    QTest::keyPress(figura, Qt::Key(tasto));
    QTest::keyRelease(figura, Qt::Key(tasto));
    QCOMPARE(figura->borderStyle(), 1);
    QTest::keyPress(figura, Qt::Key(tasto));
    QTest::mouseRelease(figura, Qt::LeftButton);
    QCOMPARE(figura->borderStyle(), 1);
    QTest::keyRelease(figura, Qt::Key(tasto));
    QCOMPARE(figura->borderStyle(), 0);
}

void tst_Form1::escapeChiudeIlPannelloDavanti()
{
    auto* opzione = Controllo(*m_form, "Option1_0");
    opzione->setFocus(Qt::TabFocusReason);
    Azione(*m_form, "mnprince")->trigger();
    QCOMPARE(QApplication::focusWidget(), Controllo(*m_form, "Command3"));
    Azione(*m_form, "mninfo")->trigger();
    QCOMPARE(QApplication::focusWidget(), Controllo(*m_form, "Image1"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!Controllo(*m_form, "Frame4")->isVisible()); // the front one first
    QVERIFY(Controllo(*m_form, "Frame3")->isVisible());
    QCOMPARE(QApplication::focusWidget(), Controllo(*m_form, "Command3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!Controllo(*m_form, "Frame3")->isVisible());
    QCOMPARE(QApplication::focusWidget(), opzione);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // nothing left to close
    QCOMPARE(QApplication::focusWidget(), opzione);

    // Closed by the mouse from behind, the explanation hands its place on to the panel that
    // was opened from it.
    Azione(*m_form, "mnprince")->trigger();
    Azione(*m_form, "mninfo")->trigger();
    QTest::mouseClick(Controllo(*m_form, "Command3"), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!Controllo(*m_form, "Frame4")->isVisible());
    QCOMPARE(QApplication::focusWidget(), opzione);
}

void tst_Form1::sottoIlPannelloITastiNonArrivano()
{
    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_1"); // "OK" is armed
    Controllo(*m_form, "Option1_0")->setFocus(Qt::TabFocusReason);
    Azione(*m_form, "mnprince")->trigger();
    QStringList visitati;
    for (int passo = 0; passo < 4; ++passo) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visitati << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visitati, QStringList(4, QStringLiteral("Command3")));
    Azione(*m_form, "mninfo")->trigger();
    visitati.clear();
    for (int passo = 0; passo < 3; ++passo) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        visitati << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visitati, QStringList({ "Command3", "Image1", "Command3" }));
    for (int tasto : { Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right })
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(tasto));
    QCOMPARE(m_form->esperimento().Stato().NumScelte, 2); // no choice was made under them
    QVERIFY(Controllo<QRadioButton>(*m_form, "Option1_0")->isChecked());
    QVERIFY(Controllo(*m_form, "Frame3")->isVisible() && Controllo(*m_form, "Frame4")->isVisible());
}

void tst_Form1::fuocoBenVisibile_data()
{
    QTest::addColumn<QString>("controllo");
    QTest::newRow("an option button") << "Option1_1";
    QTest::newRow("OK") << "Command1";
    QTest::newRow("a back arrow") << "Command3";
}

void tst_Form1::fuocoBenVisibile()
{
    QFETCH(QString, controllo);

    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_0");
    Azione(*m_form, "mnprince")->trigger();
    Controllo(*m_form, "Option1_0")->setFocus(Qt::TabFocusReason);
    QWidget* widget = Controllo(*m_form, controllo.toLatin1().constData());
    const QImage senza = widget->grab().toImage();
    widget->setFocus(Qt::TabFocusReason);
    // As any key that moves the focus does: from then on the focus shows, after a click too.
    m_form->setAttribute(Qt::WA_KeyboardFocusChange);
    const QImage con = widget->grab().toImage();
    // A dark dotted frame around the text or the picture: some dozens of dark pixels more, not a
    // pale tint.
    con.save(QDir(QDir::tempPath()).filePath("idrovela-fuoco-" + controllo + ".png"));
    const int piu = Scuri(con) - Scuri(senza);
    QVERIFY2(piu >= 25, qPrintable(QString::number(piu)));
}

void tst_Form1::altEvidenziaIlPrimoMenu_data()
{
    QTest::addColumn<int>("tasto");
    QTest::newRow("Alt") << int(Qt::Key_Alt);
    QTest::newRow("F10, as Alt") << int(Qt::Key_F10);
}

void tst_Form1::altEvidenziaIlPrimoMenu()
{
    QFETCH(int, tasto);
    QMenuBar* barra = m_form->menuBar();
    const QRect file = barra->actionGeometry(barra->actions().at(0));
    const QImage prima = barra->grab(file).toImage();
    QTest::keyClick(m_form->windowHandle(), Qt::Key(tasto));
    QVERIFY(barra->hasFocus());
    QCOMPARE(barra->activeAction(), barra->actions().at(0));
    const QImage dentro = barra->grab(file).toImage();
    QVERIFY(dentro != prima);
    const QColor evidenziato = QApplication::palette().color(QPalette::Highlight);
    const qreal scala = dentro.devicePixelRatio();
    QCOMPARE(dentro.pixelColor(int(2 * scala), dentro.height() / 2).rgb() & 0xF0F0F0,
        evidenziato.rgb() & 0xF0F0F0);
    QTest::keyClick(m_form->windowHandle(), Qt::Key_Escape);
    QVERIFY(!barra->hasFocus());
}

void tst_Form1::separatoreDecimaleDellUtente_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("liquido");
    QTest::addColumn<QString>("materiale");

    QTest::newRow("an Italian pupil reads commas")
        << QLocale(QLocale::Italian, QLocale::Italy) << "Densità= 13,6"
        << "Densità = 0,45";
    QTest::newRow("an English one reads points")
        << QLocale(QLocale::English, QLocale::UnitedKingdom) << "Densità= 13.6"
        << "Densità = 0.45";
}

void tst_Form1::separatoreDecimaleDellUtente()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, liquido);
    QFETCH(QString, materiale);

    const QLocale prima;
    QLocale::setDefault(locale);
    Form1 form;
    QLocale::setDefault(prima);
    Scegli(form, "Option1_1");
    Scegli(form, "Option2_3");
    QCOMPARE(Controllo<QLabel>(form, "lblPSLiquido")->text(), liquido);
    QCOMPARE(Controllo<QLabel>(form, "lblPSMateriale")->text(), materiale);
}

void tst_Form1::quietaQuandoFerma()
{
    // Waiting for the pupil costs nothing: no timer of the window's is armed, before a run
    // and after one.
    const auto timerArmati = [this] {
        QStringList armati;
        QObjectList oggetti { m_form.get() };
        for (QObject* oggetto : m_form->findChildren<QObject*>())
            oggetti << oggetto;
        for (QObject* oggetto : oggetti)
            if (!QAbstractEventDispatcher::instance()->registeredTimers(oggetto).isEmpty())
                armati << oggetto->objectName() + "/" + oggetto->metaObject()->className();
        return armati;
    };
    QCOMPARE(timerArmati(), QStringList());
    Risponditore risponditore;
    Scegli(*m_form, "Option1_0");
    Scegli(*m_form, "Option2_3");
    QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    QVERIFY(!timerArmati().isEmpty());
    QTRY_COMPARE(risponditore.visti.size(), 1);
    QTRY_COMPARE(timerArmati(), QStringList());
}

namespace {

// The rows and columns of the client area where two grabs of the tank differ.
QRect Differenza(const QImage& prima, const QImage& dopo)
{
    QRect diversa;
    for (int y = 16; y < 16 + 366; ++y)
        for (int x = 8; x < 8 + 287; ++x)
            if (Pixel(prima, { x, y }) != Pixel(dopo, { x, y }))
                diversa |= QRect(x, y, 1, 1);
    return diversa;
}
} // namespace

void tst_Form1::laVascaPrendeIlColoreDelLiquido_data()
{
    QTest::addColumn<QString>("opzione");
    QTest::addColumn<QColor>("colore");

    QTest::newRow("water is cyan") << "Option1_0" << QColor(0x80, 0xFF, 0xFF);
    QTest::newRow("mercury is light grey") << "Option1_1" << QColor(0xD6, 0xD6, 0xD6);
    QTest::newRow("oil is yellow-green") << "Option1_2" << QColor(0xD2, 0xFF, 0x80);
    QTest::newRow("petrol is light grey") << "Option1_3" << QColor(0xD6, 0xD6, 0xD6);
}

void tst_Form1::laVascaPrendeIlColoreDelLiquido()
{
    QFETCH(QString, opzione);
    QFETCH(QColor, colore);

    Scegli(*m_form, "Option1_2"); // start from another liquid than the design's water
    Scegli(*m_form, opzione.toLatin1().constData());
    const QImage client = Client(*m_form)->grab().toImage();
    for (QPoint liquido : { QPoint(60, 200), QPoint(200, 150), QPoint(150, 250) })
        QCOMPARE(Pixel(client, liquido), colore);
    QCOMPARE(Pixel(client, QPoint(150, 60)), QColor(0xC0, 0xC0, 0xC0)); // glass above it
}

void tst_Form1::ilCorpoScendeDavantiAllaVasca()
{
    Risponditore risponditore;
    Scegli(*m_form, "Option1_0");
    const QImage vuota = Client(*m_form)->grab().toImage();
    Scegli(*m_form, "Option2_2"); // copper, whose design top is the floor's
    const QRect scelto = Differenza(vuota, Client(*m_form)->grab().toImage());
    QTest::mouseClick(Controllo<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    const QRect allaSuperficie = Differenza(vuota, Client(*m_form)->grab().toImage());

    QRect inFondo;
    auto* timer = m_form->findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    int tick = 0;
    connect(timer, &QTimer::timeout, this, [&] {
        if (++tick == 57) // the last position before the run ends
            inFondo = Differenza(vuota, Client(*m_form)->grab().toImage());
    });
    QTRY_COMPARE_WITH_TIMEOUT(risponditore.visti.size(), 1, 10000);

    // The block sits in the band of the liquid's surface (rows 57-104 of the tank, which
    // stands 16 pixels down), as chosen and as the run starts, then on the floor (rows
    // 256-303), across the tank's axis.
    const int vasca = 16;
    for (const QRect& superficie : { scelto, allaSuperficie })
        QVERIFY2(superficie.top() >= vasca + 57 && superficie.bottom() <= vasca + 104,
            qPrintable(QString("%1..%2").arg(superficie.top()).arg(superficie.bottom())));
    QVERIFY2(inFondo.top() >= vasca + 256 - 3 && inFondo.bottom() <= vasca + 303,
        qPrintable(QString("%1..%2").arg(inFondo.top()).arg(inFondo.bottom())));
    for (const QRect& blocco : { scelto, allaSuperficie, inFondo })
        QVERIFY(blocco.left() < 8 + 130 && blocco.right() > 8 + 131);
}

void tst_Form1::siEsceSubito_data()
{
    QTest::addColumn<QString>("come");
    QTest::newRow("from the menu, during a descent") << "menu";
    QTest::newRow("from the close box, during a descent") << "chiusura";
}

void tst_Form1::siEsceSubito()
{
    QFETCH(QString, come);

    // Leaving ends the event loop for good, so each way out runs in a program of its own.
    QProcess programma;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("TST_FORM1_USCITA"), come);
    programma.setProcessEnvironment(ambiente);
    programma.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(programma.waitForFinished(20000));
    const QString uscita = QString::fromUtf8(programma.readAllStandardOutput());
    QCOMPARE(programma.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programma.exitCode(), 0);
    // One question only, asked while the body was sinking, and no reset after "Yes".
    QVERIFY2(uscita.contains("domande=1 discesa=1 timer=0 corpo=1"), qPrintable(uscita));
}

// The program as a pupil leaves it, with the real event loop: a descent is going on when
// "Esci" or the close box is answered "Sì".
static int Uscita(const QString& come)
{
    Form1 form;
    form.show();
    Risponditore risponditore(QStringLiteral("Sì"));
    auto* timer = form.findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    bool inDiscesa = false;
    risponditore.prima = [&](QMessageBox*) { inDiscesa = timer->isActive(); };
    Scegli(form, "Option1_0");
    Scegli(form, "Option2_1");
    QTest::mouseClick(Controllo<QPushButton>(form, "Command1"), Qt::LeftButton);
    // A few steps into the descent, the pupil leaves.
    int passi = 0;
    QObject::connect(timer, &QTimer::timeout, &form, [&] {
        if (++passi != 5)
            return;
        if (come == QLatin1String("menu"))
            form.findChild<QAction*>(QStringLiteral("mnexit"))->trigger();
        else
            form.close();
    });
    const int codice = QApplication::exec();
    std::printf("domande=%d discesa=%d timer=%d corpo=%d\n", int(risponditore.visti.size()),
        int(inDiscesa), int(timer->isActive()),
        int(Controllo(form, "imgFerro")->isVisibleTo(Client(form))));
    return codice;
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ImpostaAspetto();
    if (qEnvironmentVariableIsSet("TST_FORM1_USCITA"))
        return Uscita(qEnvironmentVariable("TST_FORM1_USCITA"));
    tst_Form1 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Form1.moc"
