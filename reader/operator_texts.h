// Every text that the operator reads on the status line or in the port question, in one
// place. Their spelling ("Successfull"), their blanks and their marks (the full-width "！",
// U+FF01, against the ordinary "!") are the texts the operators know from the reader's own
// tools: they are kept exactly so, on purpose. The captions of the controls stand in the
// window's control table; a binding failure's text is made by reader::BindError::message.
#pragma once

#include <string_view>

namespace texts {

// Connecting to and disconnecting from the reader.
inline constexpr std::string_view kPortQuestion = "Please Select Port Number Before Continue!";
inline constexpr std::string_view kPortQuestionTitle = "Connect...";
inline constexpr std::string_view kConnected = "Connect Successfull！";
inline constexpr std::string_view kConnectionFailed = "Connection Failed！";
inline constexpr std::string_view kAlreadyConnected = "Hardware Is Connected！";
inline constexpr std::string_view kDisconnected = "Disconnect Successfull！";
inline constexpr std::string_view kDisconnectFailed = "Disconnect Failed！";

// A card write: the card number followed by one of these.
inline constexpr std::string_view kCardWritten = " >>>> Write Successfull!";
inline constexpr std::string_view kCardWriteError = " >>>> Write Error";
// Between the write error and the binding failure's own text.
inline constexpr std::string_view kCardWriteErrorDetail = ". ";

// The developer panel's two fixed writes.
inline constexpr std::string_view kTestValueWritten = "Write Successfull!";
inline constexpr std::string_view kTestValueWriteError = "Write Error";
inline constexpr std::string_view kRegularized = "Regularize Successfull!";
inline constexpr std::string_view kRegularizeFailed = "Regularize Failed！";

} // namespace texts
