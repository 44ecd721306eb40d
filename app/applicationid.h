#pragma once

namespace huvolo {

// The application's one reverse-DNS id: its desktop entry, icon, AppStream
// metainfo and settings all go by it.
inline constexpr char ApplicationId[] = "org.huvolo.Huvolo";

} // namespace huvolo
