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
