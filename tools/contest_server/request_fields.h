// What a post's HTTP request carries besides its body's bytes: the document
// inside a form, and the station's credentials. Portable.
#pragma once

#include <string>
#include <string_view>

// A form body's fields `xml` and `key`. Loggers send the field two ways: encoded
// as forms are, or (TR4W) as "xml=" followed by the document itself, unencoded;
// a value that starts with '<' is taken that way, to the end of the body.
struct FormFields {
    std::string xml;
    std::string key;
};
FormFields ReadForm(std::string_view body);

// The document (and key) of a body that is not multipart: a form's fields when
// its content type says form or it reads as one ("xml=..."), else the body
// itself, as is a body that starts with '<' whatever its type says.
FormFields ReadPostBody(std::string_view contentType, std::string_view body);

// The user and password of an "Authorization: Basic ..." header; both empty
// when the header is missing or not Basic.
struct BasicCredentials {
    std::string user;
    std::string password;
};
BasicCredentials ReadBasicAuthorization(std::string_view header);
