#pragma once

// Names of the notifications of attaching, as the rest of the system knows them.
namespace AttachmentNotifications {
inline constexpr const char* ImportSelectedMail = "ImportSelectedMail";
inline constexpr const char* ImportSelectedMailFromOutlook = "ImportSelectedMailFromOutlook";
inline constexpr const char* AttachDocumentsCompleted = "AttachDocumentsToProductCompleted";
inline constexpr const char* NewAttachmentIDsKey = "newAttachmentIDs";
} // namespace AttachmentNotifications
