// The studio's ped groups: a group is created ped by ped through the model
// choice, and deleted as a whole.
#pragma once

struct StudioState;

// Deletes the group's peds, then lets the user choose and create each of them.
void CreateGroup(StudioState& studio, int group);
void DeleteGroup(StudioState& studio, int group);
// Every slot ped and both cars; every group and car counts as not created.
void DeleteEverything(StudioState& studio);
