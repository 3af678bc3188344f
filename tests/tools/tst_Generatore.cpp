// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileGenerati.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The generator reproduces resources/ byte for byte, and nothing in resources/ escapes it.
class tst_Generatore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void comeNelDeposito_data();
    void comeNelDeposito();
    void nienteDiPiuNienteDiMeno();
    void stessiFileOgniVolta();
    void disegniPiuGrandi_data();
    void disegniPiuGrandi();
    void argomentiSbagliati_data();
    void argomentiSbagliati();
    void foglio();

private:
    QTemporaryDir m_uscita;
    QMap<QString, QByteArray> m_generati;
};

namespace {

// The scripts that we write by hand; everything else is the generator's.
const QStringList AMano = { QStringLiteral("idrovela.qrc"), QStringLiteral("idrovela.rc") };

QStringList Elenco(const QString& cartella)
{
    QStringList file;
    QDirIterator it(cartella, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        file.append(QDir(cartella).relativeFilePath(it.next()));
    file.sort();
    return file;
}

QByteArray Leggi(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Genera(const QStringList& argomenti, QByteArray* errori = nullptr)
{
    QProcess processo;
    processo.start(QStringLiteral(IDROVELA_GENERA), argomenti);
    if (!processo.waitForFinished(60000))
        return -1;
    if (errori)
        *errori = processo.readAllStandardError();
    return processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1;
}

} // namespace

void tst_Generatore::initTestCase()
{
    QVERIFY(m_uscita.isValid());
    QCOMPARE(Genera({ m_uscita.path() }), 0);
    m_generati = FileGenerati();
}

void tst_Generatore::comeNelDeposito_data()
{
    QTest::addColumn<QString>("file");
    for (const QString& file : Elenco(QStringLiteral(IDROVELA_RISORSE)))
        if (!AMano.contains(file))
            QTest::newRow(qPrintable(file)) << file;
}

void tst_Generatore::comeNelDeposito()
{
    QFETCH(QString, file);
    const QByteArray deposito = Leggi(QStringLiteral(IDROVELA_RISORSE "/") + file);
    const QByteArray generato = Leggi(m_uscita.filePath(file));
    QVERIFY2(!generato.isEmpty(), "the generator does not make it");
    QCOMPARE(generato.size(), deposito.size());
    QVERIFY2(generato == deposito, "the bytes differ: run idrovela-genera resources");
}

void tst_Generatore::nienteDiPiuNienteDiMeno()
{
    QStringList deposito = Elenco(QStringLiteral(IDROVELA_RISORSE));
    for (const QString& file : AMano)
        QVERIFY2(deposito.removeOne(file), qPrintable(file));
    QCOMPARE(Elenco(m_uscita.path()), deposito);
}

// No state survives from one drawing to the next, so the same call gives the same bytes.
void tst_Generatore::stessiFileOgniVolta()
{
    const QMap<QString, QByteArray> prima = FileGenerati();
    QCOMPARE(FileGenerati(), prima);
    for (auto it = prima.cbegin(); it != prima.cend(); ++it)
        QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
}

// Each picture drawn larger is the same drawing: every length times the scale, so at 3x the
// middle pixel of each 3 x 3 block sits on a design pixel's centre and shows what the design
// picture shows there, apart from where a line or an edge falls just between two pixels.
void tst_Generatore::disegniPiuGrandi_data()
{
    QTest::addColumn<QString>("grande");
    QTest::addColumn<QString>("originale");
    QTest::addColumn<int>("scala");
    QTest::addColumn<int>("scarto"); // how far a colour may stray in each channel
    QTest::addColumn<double>("uguali"); // the share of the design pixels that must agree
    const QMap<QString, QByteArray>& file = m_generati;
    for (auto it = file.cbegin(); it != file.cend(); ++it) {
        const QString nome = it.key();
        const int chiocciola = nome.indexOf('@');
        if (chiocciola < 0)
            continue;
        const int scala = nome.mid(chiocciola + 1, 1).toInt();
        QString originale = nome.left(chiocciola) + ".bmp";
        if (!file.contains(originale))
            originale = nome.left(chiocciola) + ".png";
        // The tank's ellipses and rectangles come out exactly; the bust's shading is averaged
        // over fewer samples of the sculpture, so its tones may differ a little.
        const bool busto = nome.contains("busto");
        const double uguali = nome.contains("contenitore") ? 1.0 : 0.99;
        QTest::newRow(qPrintable(nome)) << nome << originale << scala << (busto ? 24 : 0) << uguali;
    }
}

void tst_Generatore::disegniPiuGrandi()
{
    QFETCH(QString, grande);
    QFETCH(QString, originale);
    QFETCH(int, scala);
    QFETCH(int, scarto);
    QFETCH(double, uguali);
    const QMap<QString, QByteArray>& file = m_generati;
    const QImage g = QImage::fromData(file.value(grande)).convertToFormat(QImage::Format_ARGB32);
    const QImage o = QImage::fromData(file.value(originale)).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!o.isNull(), qPrintable(originale));
    QCOMPARE(g.size(), o.size() * scala);
    if (scala != 3)
        return;
    int stessi = 0;
    for (int y = 0; y < o.height(); ++y)
        for (int x = 0; x < o.width(); ++x) {
            const QRgb a = o.pixel(x, y);
            const QRgb b = g.pixel(3 * x + 1, 3 * y + 1);
            const bool vicini = qAlpha(a) == qAlpha(b) && qAbs(qRed(a) - qRed(b)) <= scarto
                && qAbs(qGreen(a) - qGreen(b)) <= scarto && qAbs(qBlue(a) - qBlue(b)) <= scarto;
            stessi += vicini || (qAlpha(a) == 0 && qAlpha(b) == 0);
        }
    const double quota = double(stessi) / (o.width() * o.height());
    qInfo("%s: %.4f of the design pixels agree", qPrintable(grande), quota);
    QVERIFY2(quota >= uguali, qPrintable(QString::number(quota)));
}

void tst_Generatore::argomentiSbagliati_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::newRow("no folder") << QStringList {};
    QTest::newRow("two folders") << QStringList { "a", "b" };
    QTest::newRow("an unknown option") << QStringList { "--colore", "a" };
    QTest::newRow("a sheet option without its file") << QStringList { "a", "--foglio" };
    QTest::newRow("a folder inside a plain file") << QStringList { "ostacolo/dentro" };
}

void tst_Generatore::argomentiSbagliati()
{
    QFETCH(QStringList, argomenti);
    QTemporaryDir cartella;
    QFile ostacolo(cartella.filePath(QStringLiteral("ostacolo")));
    QVERIFY(ostacolo.open(QIODevice::WriteOnly));
    ostacolo.close();
    for (QString& a : argomenti)
        if (!a.startsWith('-'))
            a = cartella.filePath(a);

    QByteArray errori;
    QCOMPARE(Genera(argomenti, &errori), 1);
    QVERIFY2(errori.contains("idrovela-genera: "), errori.constData());
    QCOMPARE(Elenco(cartella.path()), QStringList { QStringLiteral("ostacolo") });
}

void tst_Generatore::foglio()
{
    QTemporaryDir cartella;
    const QString png = cartella.filePath(QStringLiteral("foglio.png"));
    QCOMPARE(Genera({ cartella.filePath(QStringLiteral("risorse")), "--foglio", png }), 0);
    const QImage foglio(png);
    // Three tanks side by side at four times their size, and room below them.
    QVERIFY(foglio.width() >= 3 * 4 * 287);
    QVERIFY(foglio.height() > 4 * 366);
}

QTEST_MAIN(tst_Generatore)
#include "tst_Generatore.moc"
