// The studio's two car places: a car is chosen by browsing a catalogue of
// car models, and deleted with its own key.
#pragma once

struct StudioState;

// The four catalogues, in the order of their keys Insert + '5' to '8'.
enum CarCatalogueId {
    kCar1CatalogueA,
    kCar1CatalogueB,
    kCar2CatalogueA,
    kCar2CatalogueB,
};
static const int kCarCatalogueCount = kCar2CatalogueB + 1;
static const int kCarPlaceCount = 2;  // Car 1 and Car 2

// Deletes the place's car, lets the user browse the catalogue and makes the
// car chosen with Backspace.
void CreateCar(StudioState& studio, CarCatalogueId catalogue);
// Car 1 or Car 2.
void DeleteCar(StudioState& studio, int carNumber);
