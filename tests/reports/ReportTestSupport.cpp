#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {
// The stored form of an entry's date.
QString entryDate(int year, int month, int day)
{
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}
} // namespace

void ReportTest::SetUp()
{
    LedgerTestFixture::SetUp();
    createLedger(QStringLiteral("report.sqlf"));
}

void ReportTest::TearDown()
{
    closeReportWindow();
    LedgerTestFixture::TearDown();
}

void ReportTest::addEntry(int year, int month, int day, int32_t account, int kind, int32_t himoku,
                          int64_t amount)
{
    const QString date = entryDate(year, month, day);
    const QString column = kind == 2 ? QStringLiteral("Nyuukin") : QStringLiteral("Syukkin");
    exec(QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouId, %1, "
                        "Bikou) VALUES ('%2', %3, %4, %5, %6, %7, %8, -1, %9, 'memo')")
             .arg(column, date)
             .arg(year)
             .arg(month)
             .arg(day)
             .arg(account)
             .arg(kind)
             .arg(himoku)
             .arg(amount));
}

void ReportTest::addTransfer(int year, int month, int day, int32_t from, int32_t to, int64_t amount)
{
    const QString date = entryDate(year, month, day);
    exec(QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, IdouSisanNo, IdouId, "
                        "Syukkin, Bikou) VALUES ('%1', %2, %3, %4, %5, 3, %6, 0, %7, 'move')")
             .arg(date)
             .arg(year)
             .arg(month)
             .arg(day)
             .arg(from)
             .arg(to)
             .arg(amount));
    const int32_t source = KakeiboDB->lastRowId();
    exec(QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, IdouSisanNo, IdouId, "
                        "Nyuukin, Bikou) VALUES ('%1', %2, %3, %4, %5, 4, %6, %7, %8, 'move')")
             .arg(date)
             .arg(year)
             .arg(month)
             .arg(day)
             .arg(to)
             .arg(from)
             .arg(source)
             .arg(amount));
    exec(
        QStringLiteral("UPDATE Items SET IdouId = %1 WHERE Id = %2").arg(KakeiboDB->lastRowId()).arg(source));
}

void closeReportWindow()
{
    if (wndPrev::exists()) {
        wndPrev::instance()->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void withYearlyReport(const std::function<void(wndPrev *)> &steps)
{
    const auto window = [] { return wndPrev::exists() ? wndPrev::instance() : nullptr; };
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        if (window()) {
            steps(window());
        }
        if (window()) {
            window()->close();
        }
    });
    wndPrev::openReport(kYearlyReport);
    EXPECT_TRUE(ran);
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

void keepPicture(const QImage &image, const QString &name)
{
    const QString folder = qEnvironmentVariable("QUORVELA_REPORT_PNG");
    if (!folder.isEmpty()) {
        image.save(folder + QLatin1Char('/') + name);
    }
}

int pdfPageCount(const QString &path)
{
    const QString pdf = QString::fromLatin1(readFileBytes(path));
    // Page objects, not the page tree ("/Type /Pages").
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(pdf.count(page));
}

QList<PdfWord> pdfWords(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(20000) || pdftotext.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils) could not read " << path.toStdString();
        return {};
    }
    QList<PdfWord> words;
    int page = 0;
    QXmlStreamReader xml(pdftotext.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto at = [&](const char *name) {
                return xml.attributes().value(QLatin1String(name)).toDouble();
            };
            const QRectF box(QPointF(at("xMin"), at("yMin")), QPointF(at("xMax"), at("yMax")));
            // In compatibility form: the CJK face's glyphs read back as Kangxi radicals (口 as
            // U+2F1D), and "…" reads as "...".
            // pdftotext puts 1.2 of the size above the baseline and 0.248 below it.
            const double size = box.height() / 1.448;
            const double baseline = box.bottom() - 0.248 * size;
            const QRectF em(QPointF(box.left(), baseline - 0.88 * size),
                            QPointF(box.right(), baseline + 0.12 * size));
            words.append({page, box, xml.readElementText().normalized(QString::NormalizationForm_KC), em});
        }
    }
    return words;
}
