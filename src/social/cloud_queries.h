#pragma once
// Every request the program makes of the cloud tables and procedures, each in
// one fixed form. Blocking; for background threads. UUIDs are sent upper-case,
// except in the unfriend filter, which is sent lower-case.
#include <string>
#include <vector>

#include "social/backend_client.h"
#include "social/cloud_rows.h"

namespace pawlane {

// The signed-in user's own profile; fails unless exactly one row matches.
Result<Profile> fetchOwnProfile(BackendClient& client, const std::string& uid);
// Every profile the user may see (their own and their friends'), by id.
Result<std::vector<Profile>> fetchVisibleProfiles(BackendClient& client);
// Every friendship the user may see, by user_a.
Result<std::vector<FriendshipRow>> fetchFriendships(BackendClient& client);
// Up to 60 pets of other owners, by id; undecodable rows are dropped.
Result<std::vector<CloudPet>> fetchFriendPets(BackendClient& client, const std::string& uid);
// Insert-or-replace by id: all pets in one request, or one pet.
Status upsertPets(BackendClient& client, const std::vector<CloudPet>& pets);
Status upsertPet(BackendClient& client, const CloudPet& pet);
// Deletes the pet with this id (the server allows it only for the caller's own).
Status deletePet(BackendClient& client, const std::string& petId);
// Deletes the pet with this id only if `uid` owns it.
Status deleteOwnPet(BackendClient& client, const std::string& petId, const std::string& uid);
// Removes the friendship between `me` and `friendId` in both orientations.
Status removeFriendship(BackendClient& client, const std::string& me, const std::string& friendId);
// Makes the owner of `code` a friend; fails for an unknown code or one's own.
Result<std::vector<RedeemRow>> redeemFriendCode(BackendClient& client, const std::string& code);
// Deletes the caller's account, pets and friendships.
Status deleteAccount(BackendClient& client);

}  // namespace pawlane
