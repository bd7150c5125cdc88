// The module's command catalogue against the substitute host's own shape
// table, kept apart on purpose: they must agree on every command.
#include <gtest/gtest.h>

#include <string>

#include "game/command_catalogue.h"
#include "hostsim/host_command_shapes.h"

TEST(CommandCatalogue, AgreesWithTheHostOnEveryCommand)
{
    ASSERT_EQ(kCommandCatalogueCount, kHostCommandShapeCount);
    for (size_t row = 0; row < kCommandCatalogueCount; ++row) {
        const CommandDescriptor& command = *kCommandCatalogue[row];
        const HostCommandShape* shape = FindHostCommandShape(command.id);
        ASSERT_NE(shape, nullptr) << "the host does not know " << std::hex << command.id;
        EXPECT_EQ(std::string(command.types), shape->shape) << "command " << std::hex << command.id;
    }
}
