// The preview module: the readme in Qt WebEngine. The page and every file it
// refers to come from memory through a URL scheme of our own; the profile
// keeps nothing on disk, and no request leaves that scheme. The page shows
// the readme's layout only: none of its scripts runs and none of its dialogs
// opens, whoever wrote the form.

#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QLibraryInfo>
#include <QOpenGLContext>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <memory>

#include "app/preview/PreviewModule.h"

#define QS_PREVIEW_EXPORT extern "C" __attribute__((visibility("default")))

// Qt's own, exported for Qt WebEngine; not in a public header.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

QByteArray Bytes(std::string_view text) { return {text.data(), static_cast<qsizetype>(text.size())}; }

// The engine takes new schemes only until its first profile exists; a module
// loaded after QApplication is still in time, as it makes that profile.
void RegisterScheme() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    QWebEngineUrlScheme scheme(Bytes(preview::kScheme));
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// The engine shares its GL context with Qt's global one, which exists only
// when the program asked for it before QApplication (the window does). A
// program that did not gets one made now, before the engine's first page.
void EnsureShareContext() {
    if (QOpenGLContext::globalShareContext()) return;
    auto* context = new QOpenGLContext;  // as long as the process
    context->create();
    qt_gl_set_global_share_context(context);
}

// Chromium's sandbox refuses root and its refusal ends the whole process.
// The page reaches no network and no file, so as root it goes without.
// Read once, when the engine starts with the first profile.
void AllowRoot() {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

// The engine ends the process when it finds no QtWebEngineProcess; looked
// for first, where the engine looks, so a missing one costs the preview only.
bool EngineProcessFound() {
    const QString chosen = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!chosen.isEmpty()) return QFileInfo(chosen).isFile();
    for (const QString& folder :
         {QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath), QCoreApplication::applicationDirPath()})
        if (QFileInfo(folder + QStringLiteral("/QtWebEngineProcess")).isFile()) return true;
    return false;
}
constexpr const char* kNoEngineProcess = "no QtWebEngineProcess where the engine looks for it";

class SchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    std::string m_html;
    preview::ResourceResolver m_resolver;

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const QString path = job->requestUrl().path(QUrl::FullyDecoded);
        if (path == QStringLiteral("/ReadMe.htm")) {
            // The readme declares no character set: the reply says what Save's
            // bytes are.
            Reply(job, QByteArrayLiteral("text/html;charset=windows-1251"), m_html);
            return;
        }
        std::optional<preview::Resource> found;
        if (m_resolver && path.startsWith(QLatin1Char('/'))) found = m_resolver(path.mid(1).toStdString());
        if (!found) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        Reply(job, Bytes(found->mimeType), found->bytes);
    }

private:
    static void Reply(QWebEngineUrlRequestJob* job, const QByteArray& mimeType, const std::string& bytes) {
        auto* buffer = new QBuffer;
        buffer->setData(Bytes(bytes));
        buffer->open(QIODevice::ReadOnly);
        // The engine reads the buffer until the job ends.
        QObject::connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
        job->reply(mimeType, buffer);
    }
};

// The readme may name pictures on the web or anything else: the preview
// shows only what Save's folder would hold, and never goes to a network.
class OwnSchemeOnly final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String(preview::kScheme.data(), static_cast<qsizetype>(preview::kScheme.size())) &&
            scheme != QLatin1String("data"))
            info.block(true);
    }
};

// Links open in the user's browser; the preview stays on the readme. Of
// what a page can ask for, nothing is granted and nothing shows: scripts
// are off, and what could still come (a file chooser a click opens, a
// request left from a script) is answered no without a word.
class ReadmePage final : public QWebEnginePage {
public:
    ReadmePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
        QWebEngineSettings* s = settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
        s->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
        // Each reload would take the focus from the form being typed into.
        s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
        s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        // A colour field's click opens the system's colour dialog, which no
        // override reaches: the program's own script, in its own world, keeps
        // that click from the field.
        QWebEngineScript noPicker;
        noPicker.setName(QStringLiteral("quillsmith-no-picker"));
        noPicker.setWorldId(QWebEngineScript::ApplicationWorld);
        noPicker.setInjectionPoint(QWebEngineScript::DocumentCreation);
        noPicker.setRunsOnSubFrames(true);
        noPicker.setSourceCode(
            QStringLiteral("document.addEventListener('click', (e) => {"
                           " if (e.target instanceof HTMLInputElement && e.target.type === 'color') e.preventDefault();"
                           "}, true);"));
        scripts().insert(noPicker);
        connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl& origin, Feature feature) {
            setFeaturePermission(origin, feature, PermissionDeniedByUser);
        });
        connect(this, &QWebEnginePage::fullScreenRequested, this,
                [](QWebEngineFullScreenRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
                [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
        connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
                [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    }

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
    void javaScriptAlert(const QUrl&, const QString&) override {}
    // Also what leaving a page with a beforeunload handler would ask.
    bool javaScriptConfirm(const QUrl&, const QString&) override { return true; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (url.scheme() == QLatin1String(preview::kScheme.data(), static_cast<qsizetype>(preview::kScheme.size())))
            return true;
        if (type == NavigationTypeLinkClicked && isMainFrame &&
            (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
             url.scheme() == QLatin1String("mailto")))
            QDesktopServices::openUrl(url);
        return false;
    }
};

class EngineView final : public preview::View {
public:
    explicit EngineView(QWidget* parent) {
        AllowRoot();
        EnsureShareContext();
        RegisterScheme();
        m_holder = new QWidget(parent);
        // No storage name: an off-the-record profile, which writes nothing.
        m_profile = new QWebEngineProfile(m_holder);
        m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        m_handler = new SchemeHandler(m_profile);
        m_profile->installUrlSchemeHandler(Bytes(preview::kScheme), m_handler);
        m_profile->setUrlRequestInterceptor(new OwnSchemeOnly(m_profile));
        m_view = new QWebEngineView(m_holder);
        m_page = new ReadmePage(m_profile, m_view);
        m_view->setPage(m_page);
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        auto* layout = new QVBoxLayout(m_holder);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_view);
        QObject::connect(m_page, &QWebEnginePage::scrollPositionChanged, m_holder,
                         [this](const QPointF& at) { m_scroll = at; });
        QObject::connect(m_page, &QWebEnginePage::loadFinished, m_holder, [this](bool ok) { OnLoaded(ok); });
        QObject::connect(m_page, &QWebEnginePage::renderProcessTerminated, m_holder,
                         [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                             if (status == QWebEnginePage::NormalTerminationStatus || !m_failed) return;
                             m_failed(Termination(status) + ", exit code " + std::to_string(exitCode));
                         });
    }
    ~EngineView() override {
        // The page goes before its profile, as the engine requires.
        delete m_view;
        delete m_holder;
    }

    QWidget* widget() override { return m_holder; }

    void SetDocument(std::string html) override {
        m_handler->m_html = std::move(html);
        m_keptScroll = m_scroll;
        m_page->load(QUrl(
            QString::fromLatin1(preview::kDocumentUrl.data(), static_cast<qsizetype>(preview::kDocumentUrl.size()))));
    }
    void SetResolver(preview::ResourceResolver resolver) override { m_handler->m_resolver = std::move(resolver); }
    void SetLoadedCallback(std::function<void(bool ok)> loaded) override { m_loaded = std::move(loaded); }
    void SetFailedCallback(std::function<void(std::string why)> failed) override { m_failed = std::move(failed); }
    void RunScript(const std::string& script, std::function<void(std::string result)> answer) override {
        m_page->runJavaScript(QString::fromStdString(script), QWebEngineScript::ApplicationWorld,
                              [answer = std::move(answer)](const QVariant& result) { answer(AsText(result)); });
    }

private:
    static std::string AsText(const QVariant& value) {
        if (!value.isValid() || value.isNull()) return "null";
        if (value.typeId() == QMetaType::Bool) return value.toBool() ? "true" : "false";
        return value.toString().toStdString();
    }

    static std::string Termination(QWebEnginePage::RenderProcessTerminationStatus status) {
        switch (status) {
            case QWebEnginePage::CrashedTerminationStatus:
                return "the engine's process crashed";
            case QWebEnginePage::KilledTerminationStatus:
                return "the engine's process was killed";
            default:
                return "the engine's process ended";
        }
    }

    void OnLoaded(bool ok) {
        // A new load starts at the top; the reader stays where they were.
        if (ok && (m_keptScroll.x() != 0 || m_keptScroll.y() != 0))
            m_page->runJavaScript(QStringLiteral("window.scrollTo(%1, %2)").arg(m_keptScroll.x()).arg(m_keptScroll.y()),
                                  QWebEngineScript::ApplicationWorld);
        if (m_loaded) m_loaded(ok);
    }

    QWidget* m_holder = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    SchemeHandler* m_handler = nullptr;
    QWebEngineView* m_view = nullptr;
    QWebEnginePage* m_page = nullptr;
    QPointF m_scroll;
    QPointF m_keptScroll;
    std::function<void(bool)> m_loaded;
    std::function<void(std::string)> m_failed;
};

// Runs the event loop until done() or the time is up.
bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds) return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace

QS_PREVIEW_EXPORT preview::View* quillsmith_preview_create_view(int interfaceVersion, QWidget* parent) {
    if (interfaceVersion != preview::kInterfaceVersion || !EngineProcessFound()) return nullptr;
    return new EngineView(parent);
}

QS_PREVIEW_EXPORT bool quillsmith_preview_write_png(int interfaceVersion, const std::string& html,
                                                    const preview::ResourceResolver& resolver,
                                                    const std::string& pngPath, std::string& error) {
    if (interfaceVersion != preview::kInterfaceVersion) {
        error = "the preview module does not match this program";
        return false;
    }
    // A renderer on a machine without a display draws offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance()) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        static int argc = 1;
        static char name[] = "quillsmith-render";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    if (!EngineProcessFound()) {
        error = kNoEngineProcess;
        return false;
    }
    constexpr int kWidth = 1000;
    constexpr int kMaxHeight = 32000;  // beyond this a picture is no use to anyone
    constexpr int kTimeoutMs = 60000;
    bool result = false;
    {
        EngineView view(nullptr);
        view.SetResolver(resolver);
        std::optional<bool> loaded;
        std::string failed;
        view.SetLoadedCallback([&loaded](bool ok) { loaded = ok; });
        view.SetFailedCallback([&](std::string why) {
            failed = std::move(why);
            loaded = false;
        });
        QWidget* window = view.widget();
        window->setAttribute(Qt::WA_DontShowOnScreen);
        window->resize(kWidth, 800);
        window->show();
        view.SetDocument(html);
        if (!WaitFor([&] { return loaded.has_value(); }, kTimeoutMs) || !*loaded) {
            error = failed.empty() ? "the page did not load" : failed;
            return false;
        }
        std::optional<int> height;
        view.RunScript(
            "Math.max(document.documentElement.scrollHeight, document.body ? document.body.scrollHeight : 0)",
            [&height](const std::string& answer) { height = std::atoi(answer.c_str()); });
        WaitFor([&] { return height.has_value(); }, kTimeoutMs);
        window->resize(kWidth, std::clamp(height.value_or(800), 100, kMaxHeight));
        // Lets the engine lay out and paint the taller page before the grab.
        WaitFor([] { return false; }, 500);
        const QImage image = window->grab().toImage();
        result = !image.isNull() && image.save(QString::fromStdString(pngPath), "PNG");
        if (!result) error = "the picture cannot be written";
    }
    return result;
}
