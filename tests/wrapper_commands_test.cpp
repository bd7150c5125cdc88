// Every wrapper method, called once on a script thread against the substitute
// host: the host decodes each command by its own table of commands, and the
// test holds the commands, argument values and order against the method tables.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/car.h"
#include "game/command_catalogue.h"
#include "game/ped.h"
#include "game/player.h"
#include "game/radar_marker.h"
#include "game/script_control.h"
#include "game/world.h"
#include "hostsim/direct/direct_binding.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"
#include "tests/wrapper_trace.h"

using namespace hostsim;

namespace {

// The wrappers the cases act on. Handles come from the host in creation order:
// player 1, character 2, ped 3, other ped 4, car 5, marker 6, object 7,
// generator 8, then the markers 9 and 10, the special ped 11, the second car 12.
ScriptThread* thread;
Player* thePlayer;
World* worldWide;
World* objectRecord;
World* generatorRecord;
Ped* ped;
Ped* otherPed;
Car* car;
RadarMarker* marker;
SpecialPed* special;
SpecialPed* otherSpecial;

struct WrapperCase {
    const char* method;
    void (*call)();
    std::vector<std::string> sent;
};

// clang-format off
const WrapperCase kCases[] = {
    // --- Creation, which hands out the handles the later cases send --------
    { "Player::Player", [] { thePlayer = new Player(1.5f, 2.5f, 3.5f); },
      { "0053 i0 f1.5 f2.5 f3.5 v0", "01F5 v1 v0" } },
    { "Ped::Create", [] { ped = new Ped(thread, true); ped->Create(4, 7, 10.5f, 20.5f, 30.5f); },
      { "0247 i7", "038B", "0248 i7", "009A i4 i7 f10.5 f20.5 f30.5 v0" } },
    { "Ped::Create (other)", [] { otherPed = new Ped(thread, false); otherPed->Create(4, 8, 1.5f, 2.5f, 3.5f); },
      { "0247 i8", "038B", "0248 i8", "009A i4 i8 f1.5 f2.5 f3.5 v0" } },
    { "Car::Car", [] { car = new Car(thread, 90, 40.5f, 50.5f, 60.5f, false); },
      { "0247 i90", "038B", "0248 i90", "00A5 i90 f40.5 f50.5 f60.5 v0" } },
    { "RadarMarker::PlaceAtPoint", [] { marker = new RadarMarker; marker->PlaceAtPoint(1.25f, 2.25f, 3.25f, 2); },
      { "02A7 f1.25 f2.25 f3.25 i2 v0" } },
    { "World::CreateObject", [] { objectRecord = new World; objectRecord->CreateObject(-7, 1.5f, 2.5f, 3.5f); },
      { "029B i-7 f1.5 f2.5 f3.5 v0" } },
    { "World::CreateCarGenerator", [] {
          generatorRecord = new World;
          generatorRecord->CreateCarGenerator(1.5f, 2.5f, 3.5f, 90.5f, 91, 1, 2, 3, 4, 5, 6, 7); },
      { "014B f1.5 f2.5 f3.5 f90.5 i91 i1 i2 i3 i4 i5 i6 i7 v0" } },
    { "RadarMarker::Place0161", [] { (new RadarMarker)->Place0161(car->GetHandle(), 1, 2); },
      { "0161 v5 i1 i2 v0" } },
    { "RadarMarker::Place0162", [] { (new RadarMarker)->Place0162(ped->GetHandle(), 3, 4); },
      { "0162 v3 i3 i4 v0" } },

    // --- ScriptControl ---------------------------------------------------------
    { "ScriptControl::IsModelAvailable", [] { scriptControl->IsModelAvailable(7); }, { "0248 i7" } },
    { "ScriptControl::StartScript",      [] { scriptControl->StartScript(99); },     { "00D7 i99 z" } },
    { "ScriptControl::Command004E",      [] { scriptControl->Command004E(); },       { "004E" } },
    { "ScriptControl::SetScriptName",    [] { scriptControl->SetScriptName("MAIN"); }, { "03A4 sMAIN" } },
    { "ScriptControl::Wait",             [] { scriptControl->Wait(5); },             { "0001 i5" } },

    // --- World, used by the scripts ------------------------------------------------
    { "World::Fade",           [] { worldWide->Fade(1000, 1); },                     { "0169 i0 i0 i0", "016A i1000 i1" } },
    { "World::IsFading",       [] { worldWide->IsFading(); },                        { "016B" } },
    { "World::ShowTitleText",  [] { worldWide->ShowTitleText("!WELC_0", 4000, 2); }, { "00BA s!WELC_0 i4000 i2" } },
    { "World::ShowText",       [] { worldWide->ShowText("!WELC_1", 5000, 1); },      { "00BC s!WELC_1 i5000 i1" } },
    { "World::ShowNumberText", [] { worldWide->ShowNumberText("NUMBER", 13, 50, 2); }, { "01E4 sNUMBER i13 i50 i2" } },
    { "World::SetTimeOfDay",   [] { worldWide->SetTimeOfDay(23, 45); },              { "00C0 i23 i45" } },
    { "World::SetWeather",     [] { worldWide->SetWeather(4); },                     { "01B6 i4" } },
    { "World::HoldWeather",    [] { worldWide->HoldWeather(5); },                    { "01B5 i5" } },
    { "World::SetCutsceneMode (low byte)", [] { worldWide->SetCutsceneMode(0x101); }, { "02A3 i1" } },
    { "World::SetFixedCamera", [] { worldWide->SetFixedCamera(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f); },
      { "015F f1.5 f2.5 f3.5 f4.5 f5.5 f6.5" } },
    { "World::PointCameraAt",  [] { worldWide->PointCameraAt(1.5f, 2.5f, 3.5f, 2); }, { "0160 f1.5 f2.5 f3.5 i2" } },
    { "World::RestoreCamera",  [] { worldWide->RestoreCamera(); },                   { "02EB" } },
    { "World::Command0373",    [] { worldWide->Command0373(); },                     { "0373" } },
    { "World::PrepareAreaAt",  [] { worldWide->PrepareAreaAt(1.5f, 2.5f); },         { "04E4 f1.5 f2.5" } },
    { "World::PrepareSceneAt", [] { worldWide->PrepareSceneAt(1.5f, 2.5f, 3.5f); },  { "03CB f1.5 f2.5 f3.5" } },
    { "World::Command04ED",    [] { worldWide->Command04ED("STRIP"); },              { "04ED sSTRIP" } },
    { "World::Command018C",    [] { worldWide->Command018C(1, 1.5f, 2.5f, 3.5f); },  { "018C i1 f1.5 f2.5 f3.5" } },
    { "World::SetZoneInfoA",   [] { worldWide->SetZoneInfoA("ZONE_A", 1, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21); },
      { "015C sZONE_A i1 i11 i12 i13 i14 i15 i16 i17 i18 i19 i20 i21" } },
    { "World::SetZoneInfoB",   [] { worldWide->SetZoneInfoB("ZONE_B", 0, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41); },
      { "0152 sZONE_B i0 i31 i32 i33 i34 i35 i36 i37 i38 i39 i40 i41" } },
    { "World::SetZoneInfoC",   [] { worldWide->SetZoneInfoC("ZONE_C", 1, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61); },
      { "04EC sZONE_C i1 i51 i52 i53 i54 i55 i56 i57 i58 i59 i60 i61" } },
    { "World::SetZoneGroup",   [] { worldWide->SetZoneGroup("WEE_DAM", 1, 7); },     { "0324 sWEE_DAM i1 i7" } },
    { "World::Command01E8",    [] { worldWide->Command01E8(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f); },
      { "01E8 f1.5 f2.5 f3.5 f4.5 f5.5 f6.5" } },
    { "World::Command022B",    [] { worldWide->Command022B(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f); },
      { "022B f1.5 f2.5 f3.5 f4.5 f5.5 f6.5" } },
    { "World::SetCarGeneratorValue", [] { generatorRecord->SetCarGeneratorValue(101); }, { "014C v8 i101" } },
    { "World::Command0363",    [] { worldWide->Command0363(1.5f, 2.5f, 3.5f, 4.5f, 95, 3); },
      { "0363 f1.5 f2.5 f3.5 f4.5 i95 i3" } },
    { "World::Command03B6",    [] { worldWide->Command03B6(1.5f, 2.5f, 3.5f, 4.5f, 95, -26); },
      { "03B6 f1.5 f2.5 f3.5 f4.5 i95 i-26" } },
    { "World::SetGroupPedModels", [] { worldWide->SetGroupPedModels(7, 95, 96); },   { "0235 i7 i95 i96" } },
    { "World::SetGroupCarModel",  [] { worldWide->SetGroupCarModel(5, 90); },        { "0236 i5 i90" } },
    { "World::Command016C",    [] { worldWide->Command016C(1.5f, 2.5f, 3.5f, 120.5f); }, { "016C f1.5 f2.5 f3.5 f120.5" } },
    { "World::Command016D",    [] { worldWide->Command016D(1.5f, 2.5f, 3.5f, 120.5f); }, { "016D f1.5 f2.5 f3.5 f120.5" } },
    { "World::Command01F0",    [] { worldWide->Command01F0(3); },                    { "01F0 i3" } },
    { "World::Command0111 (low byte)", [] { worldWide->Command0111(0x201); },        { "0111 i1" } },
    { "World::Command04BB",    [] { worldWide->Command04BB(6); },                    { "04BB i6" } },

    // --- World, no script's ----------------------------------------------------------
    { "World::Command0394",    [] { worldWide->Command0394(8); },                    { "0394 i8" } },
    { "World::Command01E3",    [] { worldWide->Command01E3("NUMBER", 1, 2, 3); },    { "01E3 sNUMBER i1 i2 i3" } },
    { "World::Command0158",    [] { worldWide->Command0158(car->GetHandle()); },     { "0158 v5 i15 i2" } },
    { "World::Command0159",    [] { worldWide->Command0159(ped->GetHandle()); },     { "0159 v3 i15 i2" } },
    { "World::Command00BE",    [] { worldWide->Command00BE(); },                     { "00BE" } },
    { "World::Command022A",    [] { worldWide->Command022A(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f); },
      { "022A f1.5 f2.5 f3.5 f4.5 f5.5 f6.5" } },
    { "World::Command04F9",    [] { worldWide->Command04F9(1, 2); },                 { "04F9 i1 i2" } },
    { "World::Command04FA",    [] { worldWide->Command04FA(3); },                    { "04FA i3" } },
    { "World::Command0395",    [] { worldWide->Command0395(4, 1.5f, 2.5f, 3.5f, 4.5f); }, { "0395 i4 f1.5 f2.5 f3.5 f4.5" } },
    { "World::Command03AD",    [] { worldWide->Command03AD(5); },                    { "03AD i5" } },
    { "World::Command030D",    [] { worldWide->Command030D(6); },                    { "030D i6" } },
    { "World::Command030C",    [] { worldWide->Command030C(7); },                    { "030C i7" } },
    { "World::Command034D",    [] { objectRecord->Command034D(1.5f, 2.5f, 3); },     { "034D v7 f1.5 f2.5 i3" } },
    { "World::Command0177",    [] { objectRecord->Command0177(45.5f); },             { "0177 v7 f45.5" } },
    { "World::Command0566",    [] { objectRecord->Command0566(4); },                 { "0566 v7 i4" } },
    { "World::Command0392",    [] { objectRecord->Command0392(5); },                 { "0392 v7 i5" } },
    { "World::Command04EF",    [] { worldWide->Command04EF("NAME"); },               { "04EF sNAME" } },

    // --- Player: playerHandle 1, characterHandle 2 -----------------------------------
    { "Player::IsWithinRange (low byte)", [] { thePlayer->IsWithinRange(1.5f, 2.5f, 3.5f, 1.5f, 2.0f, 2.0f, 0x100); },
      { "00F6 v1 f1.5 f2.5 f3.5 f1.5 f2 f2 i0" } },
    { "Player::SetModel",      [] { thePlayer->SetModel("PLAYER"); },                { "0352 v2 sPLAYER", "038B", "0353 v2" } },
    { "Player::SetControlsLocked(true)",  [] { thePlayer->SetControlsLocked(true); },  { "01B4 v1 i0" } },
    { "Player::SetControlsLocked(false)", [] { thePlayer->SetControlsLocked(false); }, { "01B4 v1 i1" } },
    { "Player::SetControlsLocked (low byte)", [] { thePlayer->SetControlsLocked(0x100); }, { "01B4 v1 i1" } },
    { "Player::SetHeading",    [] { thePlayer->SetHeading(270.5f); },                { "0171 v1 f270.5" } },
    { "Player::GetOffsetPoint", [] { float x = 0, y = 0, z = 0; thePlayer->GetOffsetPoint(0.5f, 3.5f, 1.5f, &x, &y, &z); },
      { "04C4 v2 f0.5 f3.5 f1.5 v0 v0 v0" } },
    { "Player::Command03C8",   [] { thePlayer->Command03C8(); },                     { "03C8" } },
    { "Player::Command055E",   [] { thePlayer->Command055E(150); },                  { "055E v1 i150" } },
    { "Player::Command055F",   [] { thePlayer->Command055F(151); },                  { "055F v1 i151" } },
    { "Player::Command055D",   [] { thePlayer->Command055D(1); },                    { "055D v1 i1" } },
    { "Player::Command0330",   [] { thePlayer->Command0330(2); },                    { "0330 v1 i2" } },
    { "Player::Command00F5 (low byte)", [] { thePlayer->Command00F5(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 0x101); },
      { "00F5 v1 f1.5 f2.5 f3.5 f4.5 f5.5 f6.5 i1" } },
    { "Player::Command0110",   [] { thePlayer->Command0110(); },                     { "0110 v1" } },
    { "Player::Command010D",   [] { thePlayer->Command010D(3); },                    { "010D v1 i3" } },
    { "Player::Command0222",   [] { thePlayer->Command0222(4); },                    { "0222 v1 i4" } },
    { "Player::Command035E",   [] { thePlayer->Command035E(5); },                    { "035E v1 i5" } },
    { "Player::Command02B3 (low byte)", [] { thePlayer->Command02B3(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 7.5f, 0x1FF); },
      { "02B3 v1 f1.5 f2.5 f3.5 f4.5 f5.5 f6.5 f7.5 i255" } },
    { "Player::Command0055",   [] { thePlayer->Command0055(1.5f, 2.5f, 3.5f); },     { "0055 v1 f1.5 f2.5 f3.5" } },
    { "Player::Command01B1 (model loaded)", [] { thePlayer->Command01B1(thread, 7, 9); }, { "0248 i7", "01B1 v1 i7 i9" } },
    { "Player::Command0109",   [] { thePlayer->Command0109(6); },                    { "0109 v1 i6" } },
    { "Player::GetCharacterHandle", [] { ped->Command01C9(thePlayer->GetCharacterHandle()); }, { "01C9 v3 v2" } },

    // --- Ped: handle 3; the other ped 4, the car 5 -------------------------------------
    { "Ped::LoadSpecialModel", [] { ped->LoadSpecialModel(3, "IGPHIL"); },           { "023C i3 sIGPHIL", "038B" } },
    { "Ped::SetHeading",       [] { ped->SetHeading(20.5f); },                       { "0173 v3 f20.5" } },
    { "Ped::Animate",          [] { ped->Animate(12, 2000); },                       { "0372 v3 i12 i2000" } },
    { "Ped::Command020F",      [] { ped->Command020F(thePlayer->GetHandle()); },     { "020F v3 v1" } },
    { "Ped::Command01DF",      [] { ped->Command01DF(thePlayer->GetHandle()); },     { "01DF v3 v1" } },
    { "Ped::Command01D2",      [] { ped->Command01D2(thePlayer->GetHandle()); },     { "01D2 v3 v1" } },
    { "Ped::Command01D5",      [] { ped->Command01D5(car->GetHandle()); },           { "01D5 v3 v5" } },
    { "Ped::Command01D4",      [] { ped->Command01D4(car->GetHandle()); },           { "01D4 v3 v5" } },
    { "Ped::Command03F9",      [] { ped->Command03F9(otherPed->GetHandle(), 20000); }, { "03F9 v3 v4 i20000" } },
    { "Ped::Command04EB",      [] { ped->Command04EB(1, 2000); },                    { "04EB v3 i1 i2000" } },
    { "Ped::Command009C",      [] { ped->Command009C(1); },                          { "009C v3 i1" } },
    { "Ped::Command0319",      [] { ped->Command0319(1); },                          { "0319 v3 i1" } },
    { "Ped::Command011A",      [] { ped->Command011A(0); },                          { "011A v3 i0" } },
    { "Ped::Command011C",      [] { ped->Command011C(); },                           { "011C v3" } },
    { "Ped::Command03E2",      [] { ped->Command03E2(); },                           { "03E2 v3" } },
    { "Ped::Command0118",      [] { ped->Command0118(); },                           { "0118 v3" } },
    { "Ped::Command00FE (low byte)", [] { ped->Command00FE(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 0x101); },
      { "00FE v3 f1.5 f2.5 f3.5 f4.5 f5.5 f6.5 i1" } },
    { "Ped::Command01B2 (model loaded)", [] { ped->Command01B2(7, 2); },             { "0248 i7", "01B2 v3 i7 i2" } },
    { "Ped::Command01ED",      [] { ped->Command01ED(); },                           { "01ED v3" } },
    { "Ped::Command0243",      [] { ped->Command0243(5); },                          { "0243 v3 i5" } },
    { "Ped::Command01CA",      [] { ped->Command01CA(otherPed->GetHandle()); },      { "01CA v3 v4" } },
    { "Ped::Delete",           [] { ped->Delete(); },                                { "034F v3" } },
    { "Ped::Discard",          [] { ped->Discard(); },                               { "009B v3" } },
    { "Ped::Create01C8",       [] { (new Ped(thread, true))->Create01C8(car->GetHandle(), 5, 7, 6); },
      { "0247 i7", "038B", "0248 i7", "01C8 v5 i5 i7 i6 v0" } },
    { "Ped::Create0129",       [] { (new Ped(thread, true))->Create0129(car->GetHandle(), 5, 8); },
      { "0247 i8", "038B", "0248 i8", "0129 v5 i5 i8 v0" } },
    { "Ped::Create0129NoLoad", [] { (new Ped(thread, true))->Create0129NoLoad(car->GetHandle(), 6, 8); },
      { "0129 v5 i6 i8 v0" } },

    // --- SpecialPed: slot 2 is model 110, slot 4 model 112 -----------------------------
    { "SpecialPed::SpecialPed", [] { special = new SpecialPed(thread, 2, "IGPHIL"); }, { "023C i2 sIGPHIL", "038B" } },
    { "SpecialPed::Create",    [] { special->Create(4, 1.5f, 2.5f, 3.5f); },
      { "0247 i110", "038B", "0248 i110", "009A i4 i110 f1.5 f2.5 f3.5 v0" } },
    { "SpecialPed::Command0118", [] { special->Command0118(); },                     { "0118 v11" } },
    { "SpecialPed::Command00FE", [] { special->Command00FE(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 1); },
      { "00FE v11 f1.5 f2.5 f3.5 f4.5 f5.5 f6.5 i1" } },
    { "SpecialPed::Command01DF", [] { special->Command01DF(thePlayer->GetHandle()); }, { "01DF v11 v1" } },
    { "SpecialPed::Command03E2", [] { special->Command03E2(); },                     { "03E2 v11" } },
    { "SpecialPed::Command0319", [] { special->Command0319(0); },                    { "0319 v11 i0" } },
    { "SpecialPed::GetHandle",   [] { ped->Command01CA(special->GetHandle()); },     { "01CA v3 v11" } },
    { "SpecialPed::Create01C8",  [] {
          otherSpecial = new SpecialPed(thread, 4, "IGMIKE");
          otherSpecial->Create01C8(car->GetHandle(), 5, 6); },
      { "023C i4 sIGMIKE", "038B", "0247 i112", "038B", "0248 i112", "01C8 v5 i5 i112 i6 v0" } },
    { "SpecialPed::Create0129",  [] { otherSpecial->Create0129(car->GetHandle(), 7); },
      { "0247 i112", "038B", "0248 i112", "0129 v5 i7 i112 v0" } },

    // --- Car: handle 5 -------------------------------------------------------------------
    { "Car::SetHeading",       [] { car->SetHeading(90.5f); },                       { "0175 v5 f90.5" } },
    { "Car::SetSpeed",         [] { car->SetSpeed(30.5f); },                         { "00AD v5 f30.5" } },
    { "Car::DriveTo",          [] { car->DriveTo(350.5f, -527.5f, 10.5f); },         { "02C2 v5 f350.5 f-527.5 f10.5" } },
    { "Car::SetBehaviour",     [] { car->SetBehaviour(8); },                         { "00AF v5 i8" } },
    { "Car::SetNormalDriving", [] { car->SetNormalDriving(); },                      { "00A9 v5" } },
    { "Car::SetPsychoDriving", [] { car->SetPsychoDriving(); },                      { "00A8 v5" } },
    { "Car::SetImmunities",    [] { car->SetImmunities(1, 2, 3, 4, 5); },            { "02AC v5 i1 i2 i3 i4 i5" } },
    { "Car::Command0227",      [] { car->Command0227(); },                           { "0227 v5 v0" } },
    { "Car::Command01AF (low byte)", [] { car->Command01AF(1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 0x101); },
      { "01AF v5 f1.5 f2.5 f3.5 f4.5 f5.5 f6.5 i1" } },
    { "Car::GetOffsetPoint",   [] { float x = 0, y = 0, z = 0; car->GetOffsetPoint(0.5f, 1.5f, 2.5f, &x, &y, &z); },
      { "0407 v5 f0.5 f1.5 f2.5 v0 v0 v0" } },
    { "Car::Command00AE",      [] { car->Command00AE(3); },                          { "00AE v5 i3" } },
    { "Car::Command02AA (low byte)", [] { car->Command02AA(0x101); },                { "02AA v5 i1" } },
    { "Car::Command020A",      [] { car->Command020A(4); },                          { "020A v5 i4" } },
    { "Car::Command0397 (low byte)", [] { car->Command0397(0x100); },                { "0397 v5 i0" } },
    { "Car::Command03F3",      [] { car->Command03F3(1, 2); },                       { "03F3 v5 i1 i2" } },
    { "Car::Command0229",      [] { car->Command0229(3, 4); },                       { "0229 v5 i3 i4" } },
    { "Car::Delete",           [] { car->Delete(); },                                { "00A6 v5" } },

    // --- RadarMarker: handle 6 ---------------------------------------------------------
    { "RadarMarker::Command0168", [] { marker->Command0168(3); },                    { "0168 v6 i3" } },
    { "RadarMarker::Command0165", [] { marker->Command0165(4); },                    { "0165 v6 i4" } },

    // --- Destructors ---------------------------------------------------------------------
    { "Ped::~Ped (release)",   [] { delete ped; },                                   { "01C2 v3" } },
    { "Ped::~Ped (delete)",    [] { delete otherPed; },                              { "034F v4" } },
    { "Car::~Car (delete)",    [] { delete car; },                                   { "00A6 v5" } },
    { "Car::~Car (release)",   [] { delete new Car(thread, 90, 1.5f, 2.5f, 3.5f, true); },
      { "0247 i90", "038B", "0248 i90", "00A5 i90 f1.5 f2.5 f3.5 v0", "01C3 v12" } },
    { "RadarMarker::~RadarMarker", [] { delete marker; },                            { "0164 v6" } },
    { "SpecialPed::~SpecialPed", [] { delete special; },                             { "034F v11" } },
};
// clang-format on

const size_t kCaseCount = sizeof kCases / sizeof kCases[0];

// Each case in a turn of its own, so that the trace splits at the waits.
void RunEveryCase(ScriptThread* self)
{
    WaitForFirstTurn(self);
    thread = self;
    scriptControl = new ScriptControl;
    worldWide = new World;
    for (const WrapperCase& wrapperCase : kCases) {
        wrapperCase.call();
        WaitMs(self, 0);
    }
    for (;;)
        WaitMs(self, 100);
}

// The commands of each turn, up to its closing wait of 0 ms.
std::vector<std::vector<std::string>> CommandsPerTurn(const std::vector<TraceRecord>& trace)
{
    std::vector<std::vector<std::string>> turns(1);
    for (const std::string& line : RenderCommands(trace)) {
        if (line == "0001 i0")
            turns.push_back({});
        else
            turns.back().push_back(line);
    }
    return turns;
}

// Model delay 0: every model is there when asked for, so no case waits.
const char* const kScenario = "frame 20\nmodel-delay 0\nend 4000\n";

TEST(WrapperCommands, EveryMethodDecodesAndSendsItsCommandsInOrder)
{
    RunResult result = RunRoutine(RunEveryCase, kScenario);
    EXPECT_EQ(Errors(result.trace), "");
    std::vector<std::vector<std::string>> turns = CommandsPerTurn(result.trace);
    ASSERT_GT(turns.size(), kCaseCount) << "the routine did not get through every case";
    for (size_t n = 0; n < kCaseCount; ++n)
        EXPECT_EQ(turns[n], kCases[n].sent) << kCases[n].method;
}

TEST(WrapperCommands, TogetherTheMethodsSendEveryCommandOfTheCatalogue)
{
    RunResult result = RunRoutine(RunEveryCase, kScenario);
    std::set<uint16_t> sent;
    for (const TraceRecord& record : Commands(result.trace))
        sent.insert(record.id);
    for (size_t row = 0; row < kCommandCatalogueCount; ++row)
        EXPECT_TRUE(sent.count(kCommandCatalogue[row].command->id)) << "no method sent " << kCommandCatalogue[row].name;
    EXPECT_EQ(sent.size(), kCommandCatalogueCount);
}

}  // namespace
