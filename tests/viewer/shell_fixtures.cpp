// shell_fixtures.cpp: the fake platform's answers and the test programs.
#include "shell_fixtures.hpp"

#include "support/ieee695_writer.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTest>

namespace tessaly::testing {

bool anyPixel(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& test)
{
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (test(image.pixel(x, y)))
                return true;
    return false;
}

void FakePlatform::messageBox(QWidget* owner, const QString& text)
{
    owners << owner;
    messages << text;
}

std::optional<QString> FakePlatform::openFileDialog(QWidget* owner, const QString& barFilter, const QString& folder)
{
    owners << owner;
    fileFilters << barFilter;
    fileFolders << folder;
    return fileToChoose;
}

std::optional<LogFont> FakePlatform::fontDialog(QWidget* owner, const LogFont& initial)
{
    owners << owner;
    fontInitials << initial;
    return fontToChoose;
}

int FakePlatform::execDialog(QDialog& dialog)
{
    owners << dialog.parentWidget();
    dialogTitles << dialog.windowTitle();
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    dialogTexts << texts.join('|');
    return dialogResult;
}

bool FakePlatform::openUrl(const QUrl& url)
{
    urls << url;
    return openUrlSucceeds;
}

RunningApp::RunningApp(std::unique_ptr<FakePlatform> platform)
    : m_platform(std::move(platform))
    , m_override(std::make_unique<PlatformOverride>(*m_platform))
    , m_model(std::make_unique<MapModel>())
    , m_app(std::make_unique<CTessalyApp>(*m_model))
{
    m_started = m_app->InitInstance(std::nullopt, false);
}

RunningApp::~RunningApp()
{
    m_app.reset();
    // Widgets the application scheduled for deletion go before the model they point at.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_model.reset();
    m_override.reset();
}

bool RunningApp::show(int width, int height)
{
    frame().resize(width, height);
    frame().show();
    return QTest::qWaitForWindowExposed(&frame());
}

void markTreeLoaded(MapModel& model, const IeRoot* root)
{
    DetectCpuFamily(model, root);
    model.FileLoaded = true;
    model.TablesChanged = true;
    model.ListRebuildPending = true;
    model.RangeStart = 0;
    model.RangeEnd = model.MaxAddress;
}

QImage renderViewport(QAbstractScrollArea& pane)
{
    QImage image(pane.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    pane.viewport()->render(&image);
    return image;
}

IeSection* typedSection(MemoryTree& tree, const char* name, uint32_t start, uint32_t size, int32_t type)
{
    IeSection* section = tree.section(name, start, size);
    section->type = type;
    return section;
}

std::vector<uint8_t> smallMapFile(const std::string& cpu)
{
    Ieee695Writer w;
    w.header(cpu, "prog");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 });
    w.globalSymbol({ .name = "_main", .value = 0x1000 });
    w.globalSymbol({ .name = "LIMIT", .value = 0x40, .kind = IE_KIND_EQU });
    auto& env = w.environment();
    env.debugString(dstr::M("main.c", "prog"));
    env.debugString(dstr::Fs("main", "_main", 'G', 1));
    env.debugString(dstr::Fe("main", "", 0, 0, 0x20));
    return w.bytes();
}

std::vector<uint8_t> unreadableFile()
{
    return { 0x12, 0x34, 0x56, 0x78 };
}

} // namespace tessaly::testing
