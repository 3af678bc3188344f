// SPDX-License-Identifier: GPL-3.0-or-later
// A thousand choices and runs in one window: memory must level off after the first hundred.
// Every choice loads new pictures into the window and every sinking run starts the sound
// again; whatever one of them leaves behind adds up here. Under the leak checker (the
// sanitized build) the process must also end without a leak of ours.
#include "Aspetto.h"
#include "AvvisiOffscreen.h"
#include "Form1.h"
#include "Module1.h"
#include "RispostaImmediata.h"
#include "ServerDelRumore.h"

#include <QButtonGroup>
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define IDROVELA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IDROVELA_ASAN 1
#endif
#endif

#ifdef IDROVELA_ASAN
// From the sanitizer's runtime; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#endif

namespace {

constexpr int Riscaldamento = 100; // rounds before the first measure
constexpr int Giri = 1000;
constexpr int TickMassimi = 100; // a sinking run ends on its 58th tick
// The resident size moves in steps of its own: the allocator takes memory from the system a
// segment at a time and keeps it, and steps of up to 1.6 MiB came and stayed in runs without
// any leak. A picture left behind at every round goes well over this: the smallest one the
// window shows (the 32 x 32 arrow, 4 KiB) makes 3.6 MiB in 900 rounds, a tank 370 MiB.
constexpr qint64 TolleranzaRss = 2 * 1024 * 1024;
// Live blocks are counted exactly; what moves is what the threads' caches hold at the moment
// of the count (25 KiB at most in runs without a leak). 80 bytes a round go over it.
constexpr qint64 TolleranzaHeap = 64 * 1024;

qint64 Rss()
{
    QFile stato(QStringLiteral("/proc/self/status"));
    if (!stato.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& riga : stato.readAll().split('\n'))
        if (riga.startsWith("VmRSS:"))
            return riga.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

// Bytes in live blocks, of every thread; -1 when they cannot be counted.
qint64 Heap()
{
#ifdef IDROVELA_ASAN
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    // glibc tells of all its arenas only through malloc_info(), whose totals after the last
    // arena say what it holds from the system and how much of that is free.
    char* testo = nullptr;
    std::size_t lunghezza = 0;
    FILE* flusso = open_memstream(&testo, &lunghezza);
    if (!flusso)
        return -1;
    malloc_info(0, flusso);
    std::fclose(flusso);
    const QString xml = QString::fromUtf8(testo, qsizetype(lunghezza));
    std::free(testo);
    const QString totali = xml.mid(xml.lastIndexOf(QLatin1String("</heap>")));
    const auto valore = [&totali](const char* elemento, const char* tipo) {
        const QRegularExpression cerca(QStringLiteral("<%1 type=\"%2\"[^>]* size=\"(\\d+)\"")
                                           .arg(QLatin1String(elemento), QLatin1String(tipo)));
        const QRegularExpressionMatch trovato = cerca.match(totali);
        return trovato.hasMatch() ? trovato.captured(1).toLongLong() : -1;
    };
    const qint64 sistema = valore("system", "current");
    const qint64 liberiPiccoli = valore("total", "fast");
    const qint64 liberi = valore("total", "rest");
    const qint64 mappati = valore("total", "mmap");
    if (sistema < 0 || liberiPiccoli < 0 || liberi < 0 || mappati < 0)
        return -1;
    return sistema - liberiPiccoli - liberi + mappati;
#endif
}

struct Misura {
    qint64 rss = 0;
    qint64 heap = 0;
    int oggetti = 0; // the window's QObjects
    int finestre = 0; // top-level widgets: a box left behind would show here
};

QString Kib(qint64 byte)
{
    return QString::number(double(byte) / 1024, 'f', 0) + QStringLiteral(" KiB");
}

} // namespace

class tst_Memoria : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TaciLimitiOffscreen(); }
    void milleCorseNonLascianoNulla();

private:
    void Giro(int numero);
    Misura Rileva();

    std::unique_ptr<Form1> m_form;
    QButtonGroup* m_liquidi = nullptr;
    QButtonGroup* m_materiali = nullptr;
    QPushButton* m_ok = nullptr;
    QTimer* m_timer = nullptr;
};

// A choice of liquid and material that goes through all sixteen pairs, sinking and floating,
// then OK and ticks until the verdict.
void tst_Memoria::Giro(int numero)
{
    m_liquidi->button(numero % 4)->click();
    m_materiali->button((numero / 4) % 4)->click();
    QVERIFY(m_ok->isEnabled());
    m_ok->click();
    for (int tick = 0; tick < TickMassimi && m_timer->isActive(); ++tick) {
        QTimerEvent scatto(m_timer->timerId());
        QCoreApplication::sendEvent(m_timer, &scatto);
    }
    QVERIFY2(!m_timer->isActive(), "the run did not end");
    QCoreApplication::sendPostedEvents();
}

Misura tst_Memoria::Rileva()
{
    // The sound thread holds the sound it has yet to start: the measure waits until it has none.
    if (!QTest::qWaitFor([] { return !Module1::InAttesa(); }, 10000))
        return {};
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return { Rss(), Heap(), int(m_form->findChildren<QObject*>().size()),
        int(QApplication::topLevelWidgets().size()) };
}

void tst_Memoria::milleCorseNonLascianoNulla()
{
    RispostaImmediata risposta;
    int scatole = 0;
    // Counted, not kept: a list of a thousand titles would be growth of the test's own.
    risposta.prima = [&] {
        ++scatole;
        risposta.titoli.clear();
    };
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    for (auto* gruppo : m_form->findChildren<QButtonGroup*>())
        (gruppo->button(0)->objectName() == QLatin1String("Option1_0") ? m_liquidi : m_materiali)
            = gruppo;
    m_ok = m_form->findChild<QPushButton*>(QStringLiteral("Command1"));
    m_timer = m_form->findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    QVERIFY(m_liquidi && m_materiali && m_ok && m_timer);

    QElapsedTimer cronometro;
    cronometro.start();
    Misura dopoCento;
    for (int giro = 0; giro < Giri; ++giro) {
        Giro(giro);
        if (QTest::currentTestFailed())
            return;
        if (giro + 1 == Riscaldamento)
            dopoCento = Rileva();
    }
    const Misura dopoMille = Rileva();
    QCOMPARE(scatole, Giri); // one verdict per round, each answered

    qInfo("%d rounds in %lld ms; after %d and %d rounds: resident %s and %s (%+lld KiB), "
          "live heap %s and %s (%+lld KiB)",
        Giri, cronometro.elapsed(), Riscaldamento, Giri, qPrintable(Kib(dopoCento.rss)),
        qPrintable(Kib(dopoMille.rss)), (dopoMille.rss - dopoCento.rss) / 1024,
        qPrintable(Kib(dopoCento.heap)), qPrintable(Kib(dopoMille.heap)),
        (dopoMille.heap - dopoCento.heap) / 1024);

    QCOMPARE(dopoMille.oggetti, dopoCento.oggetti);
    QCOMPARE(dopoMille.finestre, dopoCento.finestre);
    QVERIFY2(dopoCento.heap > 0 && dopoMille.heap > 0,
        "no measure: the heap could not be read, or the sound thread never caught up");
    QVERIFY2(dopoMille.heap - dopoCento.heap <= TolleranzaHeap,
        qPrintable(Kib(dopoMille.heap - dopoCento.heap)));
#ifndef IDROVELA_ASAN
    // The sanitizer keeps freed blocks in quarantine, which the resident size includes: only a
    // normal build can say something of it.
    QVERIFY2(dopoMille.rss - dopoCento.rss <= TolleranzaRss,
        qPrintable(Kib(dopoMille.rss - dopoCento.rss)));
#endif
    m_form.reset();
}

int main(int argc, char* argv[])
{
    UsaIlServerDelRumore();
    QApplication app(argc, argv);
    ImpostaAspetto();
    tst_Memoria test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Memoria.moc"
