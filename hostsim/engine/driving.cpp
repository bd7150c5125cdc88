// The substitute's driving. Natively and under Wine it must come out the
// same to the last bit: only +, -, *, / and square roots in float, which the
// Windows build compiles for SSE as the native one does, and the headings'
// trigonometry of heading.h.
#include "hostsim/engine/driving.h"

#include <algorithm>
#include <cmath>

#include "hostsim/engine/heading.h"

namespace hostsim {

static HostArea AreaOf(const HostBox& box)
{
    HostArea area;
    area.minX = std::min(box.x1, box.x2);
    area.minY = std::min(box.y1, box.y2);
    area.maxX = std::max(box.x1, box.x2);
    area.maxY = std::max(box.y1, box.y2);
    return area;
}

static bool Inside(const HostArea& area, float x, float y)
{
    return x >= area.minX && x <= area.maxX && y >= area.minY && y <= area.maxY;
}

void WidenCity(HostWorld& world, float x, float y)
{
    HostArea& bounds = world.cityBounds;
    bounds.minX = std::min(bounds.minX, x);
    bounds.minY = std::min(bounds.minY, y);
    bounds.maxX = std::max(bounds.maxX, x);
    bounds.maxY = std::max(bounds.maxY, y);
}

// The edges a cruising car turns at: every box of the boot, and the city's
// bounds, so that it stays in the city.
static bool CrossesAnEdge(const HostWorld& world, float fromX, float fromY, float toX, float toY)
{
    if (Inside(world.cityBounds, fromX, fromY) != Inside(world.cityBounds, toX, toY))
        return true;
    for (const HostBox& box : world.boxes) {
        const HostArea area = AreaOf(box);
        if (Inside(area, fromX, fromY) != Inside(area, toX, toY))
            return true;
    }
    return false;
}

// A number in [low, high) from the world's own generator, so that a run
// stays deterministic.
static float Random(HostWorld& world, float low, float high)
{
    uint32_t& state = world.swerveSeed;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return low + (high - low) * static_cast<float>(state >> 8) * (1.0f / 16777216.0f);
}

// Nearer than this to where it stops counts as there: rounding would keep it
// creeping on for ever.
static const float kThere = 0.01f;

// Heads for the point and moves by up to step, to no nearer than stopWithin.
// False when it is already there.
static bool DriveTowards(HostCar& car, float x, float y, float z, float step, float stopWithin)
{
    const float dx = x - car.x, dy = y - car.y, dz = z - car.z;
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (distance <= stopWithin + kThere)
        return false;
    if (dx != 0 || dy != 0)
        car.heading = HeadingTowards(dx, dy);
    const float go = std::min(step, distance - stopWithin);
    car.x += dx * (go / distance);
    car.y += dy * (go / distance);
    car.z += dz * (go / distance);
    if (stopWithin == 0 && go == distance) {
        car.x = x;
        car.y = y;
        car.z = z;
    }
    car.speed = car.toldSpeed;
    return true;
}

// Along its heading. Normal driving turns right at an edge; psycho driving
// swerves at random every one to two and a half seconds and turns sharper,
// either way, at an edge. Straight on (behaviour 8) ignores the edges.
static void Cruise(HostWorld& world, HostCar& car, float seconds)
{
    const bool psycho = car.style == kPsychoDriving && car.behaviour != 8;
    if (psycho) {
        car.nextSwerveIn -= seconds;
        if (car.nextSwerveIn <= 0) {
            const float swerve = Random(world, 25.0f, 60.0f);
            car.heading = Turned(car.heading, Random(world, 0.0f, 1.0f) < 0.5f ? swerve : -swerve);
            car.nextSwerveIn = Random(world, 1.0f, 2.5f);
        }
    }
    const float step = car.toldSpeed * seconds;
    for (int attempt = 0; attempt < 4; ++attempt) {
        float dx, dy;
        DirectionOf(car.heading, &dx, &dy);
        const float x = car.x + dx * step, y = car.y + dy * step;
        if (car.behaviour == 8 || !CrossesAnEdge(world, car.x, car.y, x, y)) {
            car.x = x;
            car.y = y;
            car.speed = car.toldSpeed;
            return;
        }
        const float turn = psycho ? Random(world, 90.0f, 180.0f) : 90.0f;
        car.heading = Turned(car.heading, psycho && Random(world, 0.0f, 1.0f) < 0.5f ? turn : -turn);
    }
}

// The corners of an area, 0 to 3 anticlockwise from the least.
static void CornerOf(const HostArea& area, int corner, float* x, float* y)
{
    *x = corner == 1 || corner == 2 ? area.maxX : area.minX;
    *y = corner >= 2 ? area.maxY : area.minY;
}

// Behaviour 1: to the nearest corner of the nearest box, then round that
// box's edges, corner to corner.
static void FollowEdges(const HostWorld& world, HostCar& car, float step)
{
    if (world.boxes.empty())
        return;
    if (car.followedBox < 0) {
        float nearest = INFINITY;
        for (size_t n = 0; n < world.boxes.size(); ++n) {
            for (int corner = 0; corner < 4; ++corner) {
                float x, y;
                CornerOf(AreaOf(world.boxes[n]), corner, &x, &y);
                const float dx = x - car.x, dy = y - car.y;
                if (dx * dx + dy * dy < nearest) {
                    nearest = dx * dx + dy * dy;
                    car.followedBox = static_cast<int>(n);
                    car.nextCorner = corner;
                }
            }
        }
    }
    const HostArea area = AreaOf(world.boxes[car.followedBox]);
    float left = step;
    // A box of no size gives no way round: at most one lap a frame.
    for (int leg = 0; leg < 4 && left > 0; ++leg) {
        float x, y;
        CornerOf(area, car.nextCorner, &x, &y);
        const float distance = std::sqrt((x - car.x) * (x - car.x) + (y - car.y) * (y - car.y));
        if (distance > left) {
            DriveTowards(car, x, y, car.z, left, 0);
            return;
        }
        DriveTowards(car, x, y, car.z, distance, 0);
        car.nextCorner = (car.nextCorner + 1) % 4;
        left -= distance;
    }
    car.speed = car.toldSpeed;
}

static void StepCar(HostWorld& world, HostCar& car, float seconds)
{
    car.speed = 0;
    const float step = car.toldSpeed * seconds;
    if (step <= 0)
        return;
    const HostPlayer& player = world.player;
    if (car.drivingTo) {
        car.drivingTo = DriveTowards(car, car.toX, car.toY, car.toZ, step, 0);
        return;
    }
    switch (car.behaviour) {
    case 2:
        DriveTowards(car, player.x, player.y, player.z, step, 0);
        return;
    case 4:
        DriveTowards(car, player.x, player.y, player.z, step, kStopNearPlayer);
        return;
    case 1:
        FollowEdges(world, car, step);
        return;
    case 8:
        Cruise(world, car, seconds);
        return;
    }
    if (car.style != kNoStyle)
        Cruise(world, car, seconds);
}

static void StepPed(HostWorld& world, int32_t handle, HostPed& ped, float seconds)
{
    std::map<int32_t, HostCar>::iterator car = world.cars.find(ped.car);
    if (car == world.cars.end())
        return;
    HostCar& into = car->second;
    const float dx = into.x - ped.x, dy = into.y - ped.y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    const float step = kPedWalkSpeed * seconds;
    if (ped.inCar || distance <= kBoardingDistance + step) {
        ped.x = into.x;
        ped.y = into.y;
        ped.z = into.z;
        ped.heading = into.heading;
        if (!ped.inCar && into.driver == 0)
            into.driver = handle;
        ped.inCar = true;
        return;
    }
    ped.heading = HeadingTowards(dx, dy);
    ped.x += dx * (step / distance);
    ped.y += dy * (step / distance);
}

void StepTraffic(HostWorld& world, float seconds)
{
    for (auto& [handle, car] : world.cars)
        StepCar(world, car, seconds);
    for (auto& [handle, ped] : world.peds)
        if (ped.car)
            StepPed(world, handle, ped, seconds);
}

// --- Placing -----------------------------------------------------------------------

static const float kPlacingCell = 0.5f;
static const int kPlacingReach = 40;  // cells each way: 20 units

struct Offset {
    int i, j;
};

// The grid's points around the origin, nearest first.
static std::vector<Offset> PlacingOffsets()
{
    std::vector<Offset> offsets;
    for (int j = -kPlacingReach; j <= kPlacingReach; ++j)
        for (int i = -kPlacingReach; i <= kPlacingReach; ++i)
            offsets.push_back({ i, j });
    std::stable_sort(offsets.begin(), offsets.end(),
                     [](const Offset& a, const Offset& b) { return a.i * a.i + a.j * a.j < b.i * b.i + b.j * b.j; });
    return offsets;
}

static float RadiusOf(bool isCar)
{
    return isCar ? 2.0f : 0.5f;
}

static bool Clear(const HostWorld& world, bool isCar, float x, float y)
{
    auto near = [x, y](float otherX, float otherY, float apart) {
        const float dx = otherX - x, dy = otherY - y;
        return dx * dx + dy * dy < apart * apart;
    };
    if (world.player.exists && near(world.player.x, world.player.y, RadiusOf(isCar) + RadiusOf(false)))
        return false;
    for (const auto& [handle, ped] : world.peds)
        if (!ped.inCar && near(ped.x, ped.y, RadiusOf(isCar) + RadiusOf(false)))
            return false;
    for (const auto& [handle, car] : world.cars)
        if (near(car.x, car.y, RadiusOf(isCar) + RadiusOf(true)))
            return false;
    return true;
}

void PlaceClear(const HostWorld& world, bool isCar, float* x, float* y)
{
    static const std::vector<Offset> offsets = PlacingOffsets();
    for (const Offset& offset : offsets) {
        const float placedX = *x + offset.i * kPlacingCell, placedY = *y + offset.j * kPlacingCell;
        if (Clear(world, isCar, placedX, placedY)) {
            *x = placedX;
            *y = placedY;
            return;
        }
    }
}

void RemovePed(HostWorld& world, int32_t handle)
{
    for (auto& [carHandle, car] : world.cars)
        if (car.driver == handle)
            car.driver = 0;
    world.peds.erase(handle);
}

// The peds it held get out where it stood.
void RemoveCar(HostWorld& world, int32_t handle)
{
    for (auto& [pedHandle, ped] : world.peds) {
        if (ped.car == handle) {
            ped.car = 0;
            ped.inCar = false;
        }
    }
    world.cars.erase(handle);
}

}  // namespace hostsim
