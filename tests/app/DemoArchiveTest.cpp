// The demo archive is the same on every run, and what the engine
// configuration names is the archive that was written.

#include "tools/demoarchive/DemoArchive.h"
#include "tests/app/AppFixture.h"

#include <filesystem>
#include <fstream>

namespace {

class DemoArchiveTest : public AppArchiveTest {};

TEST_F(DemoArchiveTest, SameOptionsGiveTheSameArchive) {
    const std::string again = dir_ + "/again";
    demoarchive::Options options;
    options.movements = DemoMovements();
    demoarchive::Result result;
    std::string error;
    ASSERT_TRUE(demoarchive::MakeDemoArchive(again, options, result, error)) << error;
    EXPECT_EQ(ReadFileBytes(result.archive), ReadArchiveBytes());
    EXPECT_EQ(ReadFileBytes(result.engineConfig),
              "[Bracotene]\nDriver=SQLITE\nPath=Archivi/Bracotene.db\n");
    EXPECT_EQ(result.movements, ScalarInt("SELECT count(*) FROM MovConti"));
    EXPECT_EQ(ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=1"), DemoMovements());

    // Writing again over an archive replaces it rather than adding to it.
    options.movements = 5;
    ASSERT_TRUE(demoarchive::MakeDemoArchive(again, options, result, error)) << error;
    archive_ = result.archive;
    EXPECT_EQ(ScalarInt("SELECT count(*) FROM MovConti"), result.movements);
    EXPECT_EQ(ScalarInt("SELECT count(*) FROM MovConti WHERE idCondominio=1"), 5);
    EXPECT_EQ(ScalarInt("SELECT count(*) FROM Condomini"), condominiums_);
    options.movements = -1;
    EXPECT_FALSE(demoarchive::MakeDemoArchive(again, options, result, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
