// The studio's car places: the catalogues wrap, the cursors are shared and
// kept, the old car goes first, and the creation text follows textsOn.
#include <gtest/gtest.h>

#include "tests/studio_session.h"

using namespace hostsim;

namespace {

bool HasStep(const std::vector<int32_t>& models, int32_t from, int32_t to)
{
    for (size_t n = 1; n < models.size(); ++n)
        if (models[n - 1] == from && models[n] == to)
            return true;
    return false;
}

std::string Listed(const std::vector<int32_t>& models)
{
    std::string text;
    for (int32_t model : models)
        text += std::to_string(model) + " ";
    return text;
}

// Opens a catalogue, pages down a little, then up past the wrap, and keeps
// the car on show. Times are counted from the main loop's start.
RunResult BrowseDownThenUp(const StudioSession& session, const std::string& digit, CarCatalogueId catalogue)
{
    return StudioScript { session }
        .At(0, "keydown INSERT " + digit)
        .At(session.JustAfterRow(kFeatureCreateCar, catalogue), "keyup INSERT " + digit)
        .At(1000, "keydown NEXT")
        .At(1500, "keyup NEXT")
        .At(3000, "keydown PRIOR")
        .At(5000, "keyup PRIOR")
        .At(6000, "keydown BACK")
        .At(6100, "keyup BACK")
        .Run(8000);
}

struct Wrap {
    const char* digit;
    CarCatalogueId catalogue;
    int32_t first, last;
};

TEST(CarSlots, EachCatalogueWrapsBothWaysAtItsOwnEnds)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const Wrap catalogues[] = {
        { "5", kCar1CatalogueA, 130, 179 },  // Car 1, catalogue A
        { "6", kCar1CatalogueB, 185, 230 },  // Car 1, catalogue B
        { "7", kCar2CatalogueA, 130, 175 },  // Car 2, catalogue A: ends earlier
        { "8", kCar2CatalogueB, 185, 230 },  // Car 2, catalogue B
    };
    for (const Wrap& wrap : catalogues) {
        const RunResult result = BrowseDownThenUp(session, wrap.digit, wrap.catalogue);
        ASSERT_EQ(Errors(result.trace), "") << "Insert + " << wrap.digit;
        const std::vector<int32_t> made = CarModelsMade(result.trace, MainLoopStart(result.trace));
        ASSERT_GE(made.size(), 4u) << Listed(made);
        EXPECT_EQ(made[0], wrap.first) << "Insert + " << wrap.digit << ": " << Listed(made);
        EXPECT_TRUE(HasStep(made, wrap.first, wrap.last)) << "Insert + " << wrap.digit << ": " << Listed(made);
        EXPECT_TRUE(HasStep(made, wrap.last, wrap.first)) << "Insert + " << wrap.digit << ": " << Listed(made);
        for (int32_t model : made)
            EXPECT_TRUE(model >= wrap.first && model <= wrap.last) << "Insert + " << wrap.digit << ": " << model;
        // Backspace makes a new car of the model on show, turned to 315 degrees.
        EXPECT_EQ(made[made.size() - 1], made[made.size() - 2]);
        const std::vector<TraceRecord> headings = CommandsWithId(result.trace, kSetCarHeading.id);
        ASSERT_FALSE(headings.empty());
        EXPECT_FLOAT_EQ(headings.back().args[1].f, 315.0f);
    }
}

TEST(CarSlots, CarTwoStartsWhereCarOnesChoiceEndedAndTheOldCarGoesFirst)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    // Car 1 from catalogue A, paged down past the wrap to 176 to 179; then Car 2
    // from catalogue A, then Car 1 again.
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 5")
                                 .At(session.JustAfterRow(kFeatureCreateCar, kCar1CatalogueA), "keyup INSERT 5")
                                 .At(1000, "keydown NEXT")
                                 .At(1500, "keyup NEXT")
                                 .At(3000, "keydown BACK")
                                 .At(3100, "keyup BACK")
                                 .At(4000, "keydown INSERT 7")
                                 .At(5000, "keyup INSERT 7")
                                 .At(6000, "keydown BACK")
                                 .At(6100, "keyup BACK")
                                 .At(7000, "keydown INSERT 5")
                                 .At(8000, "keyup INSERT 5")
                                 .At(9000, "keydown BACK")
                                 .At(9100, "keyup BACK")
                                 .Run(11000);
    ASSERT_EQ(Errors(result.trace), "");
    const size_t from = MainLoopStart(result.trace);
    const std::vector<TraceRecord> made = CommandsWithId(result.trace, kCreateCar.id, from);
    const std::vector<int32_t> models = CarModelsMade(result.trace, from);
    // Car 1: 130, 179, ..., chosen; then two previews and choices of that same
    // model, Car 2's and Car 1's: the five cars at the end.
    ASSERT_GE(models.size(), 7u) << Listed(models);
    EXPECT_EQ(models[1], 179) << Listed(models);
    const int32_t car1Model = models[models.size() - 5];
    EXPECT_GT(car1Model, 175) << "left above Car 2's range: " << Listed(models);
    EXPECT_EQ(models[models.size() - 4], car1Model) << "Car 2's first preview: " << Listed(models);
    EXPECT_EQ(models[models.size() - 3], car1Model) << "Car 2 chosen at once: " << Listed(models);

    // The second Insert + 5 deletes the Car 1 made first, before its preview.
    const int32_t firstCar1 = made[made.size() - 5].out[0];
    const size_t secondChoice = IndexAt(result.trace, session.readyAt + 7000);
    const size_t deletion = FindCommand(result.trace, kDeleteCar.id, secondChoice);
    ASSERT_LT(deletion, result.trace.size());
    EXPECT_EQ(result.trace[deletion].args[0].i, firstCar1);
    EXPECT_LT(deletion, FindCommand(result.trace, kCreateCar.id, secondChoice));
}

TEST(CarSlots, TheCreationTextIsShownOnlyWhileTextsAreOn)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 5")
                                 .At(session.JustAfterRow(kFeatureCreateCar, kCar1CatalogueA), "keyup INSERT 5")
                                 .At(1000, "keydown BACK")
                                 .At(1100, "keyup BACK")
                                 .At(2000, "keydown INSERT T")
                                 .At(2700, "keyup INSERT T")
                                 .At(3000, "keydown INSERT 7")
                                 .At(4000, "keyup INSERT 7")
                                 .At(4500, "keydown BACK")
                                 .At(4600, "keyup BACK")
                                 .Run(6500);
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(FindText(result.trace, "!CR1CRE"), result.trace.size()) << "texts are off at first";
    EXPECT_EQ(CarModelsMade(result.trace, MainLoopStart(result.trace)).size(), 4u);
    const size_t shown = FindText(result.trace, "!CR2CRE");
    ASSERT_LT(shown, result.trace.size());
    EXPECT_EQ(result.trace[shown].ms, 3000);
    EXPECT_EQ(result.trace[shown].style, 1);
}

}  // namespace
