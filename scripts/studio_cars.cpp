// Car slots and their model catalogues. A preview car stands in front of the
// player; Page Up and Page Down replace it with the next or previous model,
// Backspace makes the place's car at the spot.
#include "scripts/studio_cars.h"

#include "game/car.h"
#include "game/held_wrappers.h"
#include "script/scheduler.h"
#include "scripts/studio_state.h"

static const float kCarHeading = 315.0f;

struct CarCatalogue {
    int carNumber;                 // the place the choice fills
    int32_t StudioState::*cursor;  // shared by both places, kept between choices
    int32_t firstModel;
    int32_t lastModel;
    const char* confirmKey;
};

// clang-format off
static const CarCatalogue carCatalogues[] = {
    //  car  cursor                    first  last  confirm
    {   1,   &StudioState::carModelA,  130,   179,  "!CR1CRE" },  // Insert + '5'
    {   1,   &StudioState::carModelB,  185,   230,  "!CR1CRE" },  // Insert + '6'
    {   2,   &StudioState::carModelA,  130,   175,  "!CR2CRE" },  // Insert + '7'
    {   2,   &StudioState::carModelB,  185,   230,  "!CR2CRE" },  // Insert + '8'
};
// clang-format on
static_assert(sizeof carCatalogues / sizeof carCatalogues[0] == kCar2CatalogueB + 1, "one catalogue per creation key");

static Car*& SlotCar(StudioState& studio, int carNumber)
{
    return carNumber == 1 ? studio.car1 : studio.car2;
}

static int32_t& SlotCreated(StudioState& studio, int carNumber)
{
    return carNumber == 1 ? studio.car1Created : studio.car2Created;
}

static Car* MakeCarAtSpot(StudioState& studio, int32_t model)
{
    WorkOutSpot(studio);
    Car* car = new Car(studio.thread, model, studio.spotX, studio.spotY, studio.spotZ, true);
    car->SetHeading(kCarHeading);
    return car;
}

// Steps the cursor inside the catalogue's range. A cursor left above the
// range by the other place's longer catalogue steps up to the first model.
static void StepCursor(int32_t& cursor, const CarCatalogue& catalogue, bool up)
{
    if (up) {
        cursor += 1;
        if (cursor > catalogue.lastModel)
            cursor = catalogue.firstModel;
    } else {
        cursor -= 1;
        if (cursor < catalogue.firstModel)
            cursor = catalogue.lastModel;
    }
}

void CreateCar(StudioState& studio, CarCatalogueId id)
{
    const CarCatalogue& catalogue = carCatalogues[id];
    int32_t& cursor = studio.*catalogue.cursor;
    SlotCar(studio, catalogue.carNumber)->Delete();

    for (;;) {
        Replace(studio.previewCar, MakeCarAtSpot(studio, cursor));
        const int key = WaitForBrowseKey(studio);
        if (key == kKeyBackspace)
            break;
        WaitMs(studio.thread, 0);
        StepCursor(cursor, catalogue, key == kKeyPageUp);
        studio.previewCar->Delete();
    }

    // The chosen car is a new one at the present spot, not the preview.
    studio.previewCar->Delete();
    Replace(SlotCar(studio, catalogue.carNumber), MakeCarAtSpot(studio, cursor));
    SlotCreated(studio, catalogue.carNumber) = 1;
    Confirm(studio, catalogue.confirmKey);
}

void DeleteCar(StudioState& studio, int carNumber)
{
    SlotCar(studio, carNumber)->Delete();
    SlotCreated(studio, carNumber) = 0;
}
