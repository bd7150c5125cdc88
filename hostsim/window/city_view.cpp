// The static part of the view: the ground grid and the city the boot sent.
// It is drawn into a texture and copied from there while the camera stands,
// so that frames where only a car or a label moves cost one copy.
#include "hostsim/window/city_view.h"

#include <cmath>

static const SDL_Color kGround = { 52, 66, 58, 255 };
static const SDL_Color kGridLine = { 64, 80, 71, 255 };
static const SDL_Color kGridMajor = { 78, 96, 86, 255 };

// Grid lines every 5 units, or 25, 125, ... when zoomed out so far that
// they would be closer than this; every fifth line is a major one.
static const float kGridStep = 5.0f;
static const float kClosestGridLines = 10.0f;  // pixels

struct CityPicture {
    SDL_Texture* texture = nullptr;  // view-sized; nullptr when render targets are not available
    bool drawn = false;
    ViewCamera camera = {};           // what the texture shows
};

// Used on the host's thread only, which draws every frame.
static CityPicture picture;

static void DrawGrid(const ViewCamera& camera)
{
    float step = kGridStep;
    while (step * camera.scale < kClosestGridLines)
        step *= 5;
    const float halfWidth = kViewWidth / 2.0f / camera.scale, halfHeight = kWindowHeight / 2.0f / camera.scale;
    for (float gx = std::floor((camera.x - halfWidth) / step) * step; gx <= camera.x + halfWidth; gx += step) {
        SetColour(std::fmod(gx, step * 5) == 0 ? kGridMajor : kGridLine);
        float sx = camera.Screen(gx, 0).x;
        SDL_RenderDrawLineF(shapeRenderer, sx, 0, sx, kWindowHeight);
    }
    for (float gy = std::floor((camera.y - halfHeight) / step) * step; gy <= camera.y + halfHeight; gy += step) {
        SetColour(std::fmod(gy, step * 5) == 0 ? kGridMajor : kGridLine);
        float sy = camera.Screen(0, gy).y;
        SDL_RenderDrawLineF(shapeRenderer, 0, sy, kViewWidth, sy);
    }
}

static void DrawStatic(const HostWorld& world, const ViewCamera& camera)
{
    FillRect(0, 0, kViewWidth, kWindowHeight, kGround);
    DrawGrid(camera);
}

static bool SameCamera(const ViewCamera& a, const ViewCamera& b)
{
    return a.x == b.x && a.y == b.y && a.scale == b.scale;
}

void DrawGroundAndCity(const HostWorld& world, const ViewCamera& camera)
{
    if (!picture.texture && SDL_RenderTargetSupported(shapeRenderer))
        picture.texture = SDL_CreateTexture(shapeRenderer, SDL_PIXELFORMAT_RGBA8888, SDL_TEXTUREACCESS_TARGET,
                                            kViewWidth, kWindowHeight);
    if (!picture.texture) {
        DrawStatic(world, camera);
        return;
    }
    if (!picture.drawn || !SameCamera(picture.camera, camera)) {
        SDL_SetRenderTarget(shapeRenderer, picture.texture);
        DrawStatic(world, camera);
        SDL_SetRenderTarget(shapeRenderer, nullptr);
        picture.drawn = true;
        picture.camera = camera;
    }
    const SDL_Rect view = { 0, 0, kViewWidth, kWindowHeight };
    SDL_RenderCopy(shapeRenderer, picture.texture, nullptr, &view);
}

void ForgetCityPicture()
{
    picture.drawn = false;
}
