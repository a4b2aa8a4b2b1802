// What a POST that brought no whole HTTP answer means for the operator.
#pragma once

#include "submission/http_post.h"
#include "submission/outcome.h"

namespace submission {

// The failure of a post whose curlCode is not 0, its subject the host.
Failure FailureOfPost(const PostResult& post);

}  // namespace submission
