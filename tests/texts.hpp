// The texts the game must write, each with its newline, stated here independently of the
// program's own tables so that the tests check them byte for byte.
#pragma once

#include <string>

namespace pairpath::testing {

const std::string sideQuestion =
    "What size grid would you like. Please Enter a number between 5-8\n";
const std::string pairQuestion =
    "How many numbers would you like to link. Please Enter a number between 4-9\n";
const std::string pairPrompt = "Please select which number to start (press Ctrl+c to quit):\n";
const std::string movePrompt =
    "Please enter your movement (W/A/S/D), press 'B' to go back and q' to quit:\n";
const std::string backAtStart =
    "Invalid movement. Cannot go back since already at the original position. \n";
const std::string overOwnPath =
    "Invalid movement. Cannot step over your current path (If you want to go back, press "
    "'B')\n";
const std::string overEndpoint = "Invalid movement. Cannot step over original exisited number.\n";
const std::string offBoundary = "Invalid movemnt. Movement will go off boundary.\n";
const std::string keepOtherPath = "Invalid movement. Movement will cause other path be cleaned.\n";
const std::string lengthMessage = "Invalid Input. Please only input one valid char again.\n";
const std::string setMessage =
    "Invalid input: input does not match expected input. Please input your choice again.\n";
const std::string winMessage = "Congrats! You Win the game!!!\n";

} // namespace pairpath::testing
