// One QApplication for the whole test program (offscreen platform from the test environment).
// Compiled into every test program that shows widgets.

#include <gtest/gtest.h>

#include <QApplication>

namespace
{

class CQtEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char szName[] = "wox_tests";
        static char* argv[] = {szName, nullptr};
        m_pApp = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_pApp;
        m_pApp = nullptr;
    }

private:
    QApplication* m_pApp = nullptr;
};

[[maybe_unused]] ::testing::Environment* const g_pQtEnvironment = ::testing::AddGlobalTestEnvironment(new CQtEnvironment);

} // namespace

#if defined(__SANITIZE_THREAD__)
// Qt is not built with the thread checker: its own threads (font loading, the global thread
// pool) synchronise through futexes the checker cannot see, so memory calls made by the Qt
// libraries themselves are not tracked. Our code stays fully checked.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Widgets.so.6\n"
           "called_from_lib:libfontconfig.so.1\n"
           "called_from_lib:libglib-2.0.so.0\n";
}
#endif
