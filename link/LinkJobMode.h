#pragma once

// What the radio link is doing; held by the link owner (the view).
enum LinkJobMode { JobIdle = 0, JobRead = 1, JobWrite = 2, JobInfo = 3 };
