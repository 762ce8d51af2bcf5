#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

// One QApplication for all GUI tests, created before the first test and destroyed after the
// last, so that no widget outlives it.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char programName[] = "test_gui";
        static char* argv[] = {programName, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
